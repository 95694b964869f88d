// The decoding of the national tables, alike on both platforms: the system's converter for
// each character, and the library's own rules wherever the converters part ways.

#include <algorithm>
#include <optional>

#include "charset_table.h"
#include "code_page_decoder.h"
#include "velto/unicode.h"

namespace velto {
namespace {

bool IsPrivateUse(char16_t unit) {
  return unit >= 0xE000 && unit <= 0xF8FF;
}

// Appends `bytes` as whole characters; false, with nothing appended, when they are not. A
// character of the private use area counts as none: Windows gives the user-defined ranges
// of the East Asian tables such characters, iconv leaves them undefined.
bool DecodeDefined(CodePageDecoder& decoder, std::string_view bytes, std::u16string& out) {
  const size_t start = out.size();
  if (!decoder.DecodeWhole(bytes, out)) return false;
  if (std::none_of(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), IsPrivateUse)) {
    return true;
  }
  out.resize(start);
  return false;
}

// A byte that starts no character: the C1 control of its value where it has one (as
// Windows decodes the unassigned bytes 0x80 to 0x9F, keeping their value), else U+FFFD.
char16_t Undecodable(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x80 && value <= 0x9F ? value : u'\uFFFD';
}

// Whatever the converters do with bad bytes: the shortest run of up to four bytes that
// decodes is one character.
std::u16string DecodeRun(CodePageDecoder& decoder, std::string_view bytes) {
  std::u16string text;
  if (DecodeDefined(decoder, bytes, text)) return text;
  while (!bytes.empty()) {
    const size_t longest = std::min<size_t>(bytes.size(), 4);
    size_t width = 1;
    while (width <= longest && !DecodeDefined(decoder, bytes.substr(0, width), text)) ++width;
    if (width > longest) {
      text.push_back(Undecodable(bytes.front()));
      width = 1;
    }
    bytes.remove_prefix(width);
  }
  return text;
}

std::optional<char16_t> Fixed(std::u16string_view fixes, char byte) {
  const auto value = static_cast<unsigned char>(byte);
  for (size_t i = 0; i + 2 < fixes.size(); i += 3) {
    if (value >= fixes[i] && value <= fixes[i + 1]) {
      return static_cast<char16_t>(fixes[i + 2] + (value - fixes[i]));
    }
  }
  return std::nullopt;
}

}  // namespace

std::u16string DecodeCodePage(std::string_view bytes, const Charset& charset) {
  CodePageDecoder decoder(charset);
  if (!decoder.Available()) return Utf8ToUtf16(bytes);
  std::u16string text;
  size_t run = 0;  // the bytes from here on go to the converter
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (const std::optional<char16_t> fixed = Fixed(charset.fixes, bytes[i])) {
      text += DecodeRun(decoder, bytes.substr(run, i - run));
      text.push_back(*fixed);
      run = i + 1;
    }
  }
  return text + DecodeRun(decoder, bytes.substr(run));
}

}  // namespace velto
