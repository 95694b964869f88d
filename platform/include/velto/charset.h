#pragma once

#include <string>
#include <string_view>

namespace velto {

// Decodes reply bytes in the character set a reply names (such as "utf-8", "utf-16",
// "windows-1251", "euc-kr"; any case). Linux and Windows know the same names and decode
// them alike. An empty or unknown name means UTF-8; undecodable bytes become U+FFFD (an
// unassigned byte 0x80 to 0x9F of a national table its C1 control, as Windows has it).
std::u16string DecodeCharset(std::string_view bytes, std::string_view charset);

}  // namespace velto
