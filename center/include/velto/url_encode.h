#pragma once

#include <string>
#include <string_view>

namespace velto {

// Encodes a query or form value: letters, digits and ! $ ' ( ) * - . @ _ stay, the space
// becomes "+", every other code unit below 0x80 becomes %XX, and every code unit from
// 0x80 on is encoded as UTF-8 on its own, each byte as %XX (upper-case hexadecimal).
std::u16string URLEncode(std::u16string_view value);

}  // namespace velto
