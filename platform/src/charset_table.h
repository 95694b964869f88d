#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velto {

enum class CharsetKind { Utf8, Utf16, Utf16Le, Utf16Be, Ascii, CodePage };

// A character set a reply may name, and how both platforms decode it: Unicode forms and
// ASCII by the library's own code, the others by the system's converter for the same table
// (a Windows code page, an iconv name).
struct Charset {
  std::string_view names;  // lower case, separated by spaces
  CharsetKind kind;
  uint16_t code_page;
  std::string_view iconv_name;
  // Bytes of a single-byte table that the library decodes itself, where the systems'
  // tables or converters differ: ranges of bytes, each as its first byte, its last byte
  // and the character of its first byte.
  std::u16string_view fixes = {};
};

// Every character set both platforms decode.
std::span<const Charset> KnownCharsets();

// The character set of that name, any case; null when it is unknown.
const Charset* FindCharset(std::string_view name);

// Decodes a CodePage character set alike on both platforms (code_page.cpp).
std::u16string DecodeCodePage(std::string_view bytes, const Charset& charset);

}  // namespace velto
