#include "velto/unicode.h"

#include <cstdint>

#include "utf16_units.h"

namespace velto {
namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Decodes one code point at `pos` following the well-formed table of Unicode 3.9
// (so overlongs and encoded surrogates are refused); advances `pos` past the maximal
// ill-formed prefix on failure, which yields one U+FFFD per such prefix.
char32_t DecodeUtf8(std::string_view in, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(in[i]); };
  const unsigned char lead = byte(pos++);
  if (lead < 0x80) return lead;
  int extra;
  char32_t cp;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacementCharacter;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= in.size()) return kReplacementCharacter;
    const unsigned char next = byte(pos);
    if (i == 0 ? (next < low || next > high) : !IsContinuation(next)) return kReplacementCharacter;
    cp = (cp << 6) | (next & 0x3F);
    ++pos;
  }
  return cp;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte < 0x80) {  // ASCII runs are the common case
      out.push_back(byte);
      ++pos;
    } else {
      AppendUtf16(out, DecodeUtf8(utf8, pos));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    char32_t cp = unit;
    if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{utf16[++i]} - 0xDC00);
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      cp = kReplacementCharacter;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace velto
