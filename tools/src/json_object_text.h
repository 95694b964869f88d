#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velto::cli {

// The text of a JSON object of string members, in order, leaving out those with an empty
// value: the input documents that velto's friendly commands make from their arguments.
std::string JsonObjectText(const std::vector<std::pair<const char*, std::string>>& members);

}  // namespace velto::cli
