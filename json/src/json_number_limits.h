#pragma once

#include <string_view>

namespace velto {

// Whether a number of valid JSON grammar has a finite value as a double, judged exactly from its
// decimal digits, so that every build decides alike whatever its floating point does. Only a value
// that rounds beyond the largest double fails: a huge exponent on zero or on a small fraction is
// fine, and a value below the smallest double is 0.
bool NumberWithinLimits(std::u16string_view number);

}  // namespace velto
