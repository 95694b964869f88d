#include "velto/charset.h"

#include <algorithm>

#include "charset_table.h"
#include "velto/unicode.h"

namespace velto {
namespace {

// Pairs of bytes in the given order; an unpaired surrogate or a lone last byte becomes
// U+FFFD, as everywhere else in the library.
std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first));
  }
  std::u16string text = Utf8ToUtf16(Utf16ToUtf8(units));
  if (bytes.size() % 2 != 0) text.push_back(u'\uFFFD');
  return text;
}

// The byte-order mark decides, and goes; without one the order is big-endian (RFC 2781).
std::u16string DecodeUtf16WithMark(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) bytes.remove_prefix(2);
  return DecodeUtf16(bytes, true);
}

// Seven bits; every other byte is undefined.
std::u16string DecodeAscii(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\uFFFD');
  std::transform(bytes.begin(), bytes.end(), text.begin(), [](char byte) {
    return static_cast<unsigned char>(byte) < 0x80 ? static_cast<char16_t>(byte) : u'\uFFFD';
  });
  return text;
}

}  // namespace

std::u16string DecodeCharset(std::string_view bytes, std::string_view name) {
  const Charset* charset = FindCharset(name);
  if (charset == nullptr) return Utf8ToUtf16(bytes);
  switch (charset->kind) {
    case CharsetKind::Utf16:
      return DecodeUtf16WithMark(bytes);
    case CharsetKind::Utf16Le:
      return DecodeUtf16(bytes, false);
    case CharsetKind::Utf16Be:
      return DecodeUtf16(bytes, true);
    case CharsetKind::Ascii:
      return DecodeAscii(bytes);
    case CharsetKind::CodePage:
      return DecodeCodePage(bytes, *charset);
    case CharsetKind::Utf8:
      break;
  }
  return Utf8ToUtf16(bytes);
}

}  // namespace velto
