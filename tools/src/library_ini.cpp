#include "library_ini.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "utf8_path.h"
#include "velto/ini.h"
#include "velto/unicode.h"

namespace velto::cli {
namespace {

bool FlagSetsALimit(const Settings& settings) {
  return settings.max_reply_size.source == SettingSource::Flag ||
         settings.reply_timeout.source == SettingSource::Flag;
}

// Quoted, so that the value reads back exactly, blanks and quotes included.
std::string Line(const char* key, const std::string& value) {
  return std::string(key) + "=\"" + value + "\"\r\n";
}

std::string Contents(const Settings& settings) {
  const auto from_ini = [&settings](std::u16string_view key) {
    if (settings.ini_file.empty()) return std::string();
    return Utf16ToUtf8(ReadIniString(Utf8ToUtf16(settings.ini_file), u"Global", key));
  };
  return "[Global]\r\n" + Line("TlsVerify", from_ini(u"TlsVerify")) +
         Line("CAFile", from_ini(u"CAFile")) + Line("MaxReplySize", settings.max_reply_size.value) +
         Line("ReplyTimeout", settings.reply_timeout.value);
}

// UTF-16 with a byte-order mark, which the profile functions of Windows read whatever the
// system's code page, and so does the library's own reader.
void WriteUtf16(const std::filesystem::path& path, const std::string& utf8) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : Utf8ToUtf16(utf8)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  std::ofstream file(path, std::ios::binary);
  if (!(file << bytes) || !file.flush()) {
    throw std::runtime_error("cannot write " + Utf8FromPath(path));
  }
}

std::filesystem::path TemporaryName() {
  std::random_device random;
  char name[32];
  std::snprintf(name, sizeof name, "velto-%08x%08x.ini", random(), random());
  return std::filesystem::temp_directory_path() / name;
}

}  // namespace

LibraryIni::LibraryIni(const Settings& settings) : name_(settings.ini_file) {
  if (!FlagSetsALimit(settings)) return;
  const std::filesystem::path path = TemporaryName();
  try {
    WriteUtf16(path, Contents(settings));
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    throw;
  }
  name_ = Utf8FromPath(path);
  temporary_ = true;
}

LibraryIni::~LibraryIni() {
  std::error_code ignored;
  if (temporary_) std::filesystem::remove(PathFromUtf8(name_), ignored);
}

}  // namespace velto::cli
