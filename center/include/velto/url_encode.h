#pragma once

#include <string>
#include <string_view>

namespace velto {

// Encodes a query or form value: letters, digits and ! $ ' ( ) * - . @ _ stay, the space
// becomes "+", and every other character is encoded as UTF-8, each byte as %XX (upper-case
// hexadecimal). A surrogate pair is one character; an unpaired half is sent as U+FFFD.
std::u16string URLEncode(std::u16string_view value);

// Encodes a value for one path segment or query value (RFC 3986): the text as UTF-8, the
// unreserved characters A-Z a-z 0-9 - . _ ~ as they are, every other byte as %XX
// (upper-case hexadecimal). So "/", "?", "#", "%", spaces and line breaks in an id can
// never change which resource a path names.
std::u16string PercentEncode(std::u16string_view value);

}  // namespace velto
