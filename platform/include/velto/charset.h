#pragma once

#include <string>
#include <string_view>

namespace velto {

// Decodes reply bytes in the character set a reply names (such as "utf-8", "iso-8859-1",
// "euc-kr"). An empty or unknown name means UTF-8; undecodable bytes become U+FFFD.
std::u16string DecodeCharset(std::string_view bytes, std::string_view charset);

}  // namespace velto
