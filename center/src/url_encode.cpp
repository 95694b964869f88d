#include "velto/url_encode.h"

#include "velto/unicode.h"

namespace velto {
namespace {

bool StaysAsIs(char16_t unit) {
  if ((unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
      (unit >= u'0' && unit <= u'9')) {
    return true;
  }
  return std::u16string_view(u"!$'()*-.@_").find(unit) != std::u16string_view::npos;
}

bool IsUnreserved(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

void AppendEscaped(std::u16string& out, unsigned char byte) {
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u'%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool StartsSurrogatePair(std::u16string_view units) {
  return units.size() >= 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF && units[1] >= 0xDC00 &&
         units[1] <= 0xDFFF;
}

}  // namespace

std::u16string URLEncode(std::u16string_view value) {
  std::u16string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t unit = value[i];
    if (StaysAsIs(unit)) {
      out += unit;
    } else if (unit == u' ') {
      out += u'+';
    } else {
      // A surrogate pair is one character, so a character beyond U+FFFF keeps its four
      // bytes; an unpaired half becomes the bytes of U+FFFD.
      const size_t length = StartsSurrogatePair(value.substr(i)) ? 2 : 1;
      for (const char byte : Utf16ToUtf8(value.substr(i, length))) {
        AppendEscaped(out, static_cast<unsigned char>(byte));
      }
      i += length - 1;
    }
  }
  return out;
}

std::u16string PercentEncode(std::u16string_view value) {
  std::u16string out;
  out.reserve(value.size());
  for (const char c : Utf16ToUtf8(value)) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      out += static_cast<char16_t>(byte);
    } else {
      AppendEscaped(out, byte);
    }
  }
  return out;
}

}  // namespace velto
