#pragma once

#include <string>
#include <string_view>

namespace velto {

// Encodes a query or form value: letters, digits and ! $ ' ( ) * - . @ _ stay, the space
// becomes "+", every other code unit below 0x80 becomes %XX, and every code unit from
// 0x80 on is encoded as UTF-8 on its own, each byte as %XX (upper-case hexadecimal).
std::u16string URLEncode(std::u16string_view value);

// Encodes a value for one path segment or query value (RFC 3986): the text as UTF-8, the
// unreserved characters A-Z a-z 0-9 - . _ ~ as they are, every other byte as %XX
// (upper-case hexadecimal). So "/", "?", "#", "%", spaces and line breaks in an id can
// never change which resource a path names.
std::u16string PercentEncode(std::u16string_view value);

}  // namespace velto
