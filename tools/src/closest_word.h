#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velto::cli {

// The word of `known` fewest edits (insert, delete, replace one letter) away from `word`;
// the first of equals. Empty when `known` is.
std::string ClosestWord(std::string_view word, const std::vector<std::string>& known);

}  // namespace velto::cli
