#pragma once

#include <string_view>

namespace velto {

// Whether a number of valid JSON grammar is also within the range the reader takes: RapidJSON's
// reader refuses numbers whose value or exponent overflows a double ("1e400", "0e1000", an
// integer of 309 digits), and documents that RapidJSON accepted must keep being accepted exactly.
// `hasExponent` tells whether the number has an exponent part.
bool NumberWithinLimits(std::u16string_view number, bool hasExponent);

}  // namespace velto
