#include "ini_key_check.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "utf8_path.h"
#include "velto/ascii_case.h"
#include "velto/charset.h"
#include "velto/unicode.h"

namespace velto::cli {
namespace {

constexpr std::array<std::string_view, 7> kKnownKeys = {
    "Root", "UserCardNumber", "SiteId", "TlsVerify", "CAFile", "MaxReplySize", "ReplyTimeout"};

// The INI reader takes UTF-16 with its byte-order mark, else UTF-8.
std::string FileText(const std::string& file) {
  std::ifstream stream(PathFromUtf8(file), std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(stream), {});
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return Utf16ToUtf8(DecodeCharset(bytes, "utf-16"));
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  return bytes;
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Names match without regard to case, as the reader matches them.
bool SameName(std::string_view a, std::string_view b) {
  return AsciiLowerCase(a) == AsciiLowerCase(b);
}

std::vector<std::string> GlobalKeys(const std::string& text) {
  std::vector<std::string> keys;
  bool in_global = false;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = Trimmed(std::string_view(text).substr(at, end - at));
    at = end + 1;
    if (line.starts_with('[')) {
      in_global = SameName(Trimmed(line.substr(1, line.find(']') - 1)), "Global");
    } else if (in_global && !line.starts_with(';') && line.find('=') != std::string_view::npos) {
      keys.emplace_back(Trimmed(line.substr(0, line.find('='))));
    }
  }
  return keys;
}

}  // namespace

std::string UnknownIniKeyWarnings(const std::string& ini_file) {
  if (ini_file.empty()) return {};
  std::string warnings;
  for (const std::string& key : GlobalKeys(FileText(ini_file))) {
    const bool known = std::any_of(kKnownKeys.begin(), kKnownKeys.end(),
                                   [&key](std::string_view name) { return SameName(key, name); });
    if (!known) {
      warnings += "velto: warning: " + ini_file + ": [Global] has the key \"" + key +
                  "\", which the library does not read (it reads Root, UserCardNumber, SiteId, "
                  "TlsVerify, CAFile, MaxReplySize and ReplyTimeout)\n";
    }
  }
  return warnings;
}

}  // namespace velto::cli
