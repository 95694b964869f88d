#pragma once

#include <string>

namespace velto::bench {

// Whether a benchmark filter (an extended regular expression) selects `name`.
bool FilterMatches(const std::string& filter, const char* name);

}  // namespace velto::bench
