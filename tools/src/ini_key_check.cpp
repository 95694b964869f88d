#include "ini_key_check.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "velto/ascii_case.h"
#include "velto/ini.h"
#include "velto/unicode.h"

namespace velto::cli {
namespace {

constexpr std::array<std::string_view, 7> kKnownKeys = {
    "Root", "UserCardNumber", "SiteId", "TlsVerify", "CAFile", "MaxReplySize", "ReplyTimeout"};

// Names match without regard to case, as the reader matches them.
bool IsKnown(const std::string& key) {
  return std::any_of(kKnownKeys.begin(), kKnownKeys.end(), [&key](std::string_view name) {
    return AsciiLowerCase(key) == AsciiLowerCase(name);
  });
}

std::string KnownKeyList() {
  std::string list;
  for (size_t at = 0; at < kKnownKeys.size(); ++at) {
    if (at > 0) list += at + 1 == kKnownKeys.size() ? " and " : ", ";
    list += kKnownKeys[at];
  }
  return list;
}

}  // namespace

std::string UnknownIniKeyWarnings(const std::string& ini_file) {
  if (ini_file.empty()) return {};
  std::string warnings;
  for (const std::u16string& name : ReadIniKeys(Utf8ToUtf16(ini_file), u"Global")) {
    const std::string key = Utf16ToUtf8(name);
    if (key.starts_with(';') || IsKnown(key)) continue;  // a comment, or a key of the library
    warnings += "velto: warning: " + ini_file + ": [Global] has the key \"" + key +
                "\", which the library does not read (it reads " + KnownKeyList() + ")\n";
  }
  return warnings;
}

}  // namespace velto::cli
