#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "velto/unicode.h"

namespace velto::fuzz {

std::u16string HostText(std::string_view bytes) {
  constexpr std::string_view kUtf16Mark = "\xFF\xFE";
  if (!bytes.starts_with(kUtf16Mark)) return Utf8ToUtf16(bytes);
  bytes.remove_prefix(kUtf16Mark.size());
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                     static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  }
  return units;
}

std::u16string HostText(const uint8_t* data, size_t size) {
  return HostText(std::string_view(reinterpret_cast<const char*>(data), size));
}

void Fail(std::string_view what) {
  std::fprintf(stderr, "FUZZ FAILURE: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

void Fail(std::string_view what, std::u16string_view text) {
  constexpr size_t kShown = 2000;
  const std::string shown = Utf16ToUtf8(text.substr(0, kShown));
  std::fprintf(stderr, "FUZZ FAILURE: the text: %.*s\n", static_cast<int>(shown.size()),
               shown.data());
  Fail(what);
}

}  // namespace velto::fuzz
