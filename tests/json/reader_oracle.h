#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velto::testing {

// A document read as a list of events: brackets, literals, "number <characters>", "string <text>"
// and "name <text>", texts as UTF-8.
using Trace = std::vector<std::string>;

// RapidJSON's reading of an object or array text, or nothing when it refuses the text, told where
// our reader departs from it on purpose, and nowhere else:
// - every unpaired surrogate reads as U+FFFD: raw ones as a round trip through UTF-8 makes them,
//   and an escaped high half without an escaped low half, which RapidJSON refuses, too;
// - a number is refused exactly when its value overflows a double, as strtod finds it; RapidJSON
//   refuses by the size of the exponent and the integer part instead, and does not look at the
//   value of what it takes.
// NUL, which RapidJSON takes as the end of the text, is never JSON.
std::optional<Trace> OracleTrace(const std::u16string& text);

}  // namespace velto::testing
