#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

// The text a JSON number yields when read as text: 12 or more characters without "." read as a
// 64-bit integer; otherwise the value in general format with at most 15 significant digits. The
// decimal separator is always "." whatever the machine's locale. Characters that are no 64-bit
// integer fall to the general format, a value below the smallest double is 0, and characters
// beyond the double range (which the reader refuses) stay as they are.
std::u16string NumberTextForm(std::u16string_view characters);

// General format of a finite double with at most 15 significant digits: 1.5, 100, 1.5E20, 1E-5.
std::u16string FormatFloat(double value);
std::u16string FormatInteger(int64_t value);

// Strict reads of a number's characters; anything else raises EConvertError naming the characters.
// A double read gives 0 for a value below the smallest double.
int32_t ParseInt32(std::u16string_view characters);
int64_t ParseInt64(std::u16string_view characters);
double ParseDouble(std::u16string_view characters);

}  // namespace velto
