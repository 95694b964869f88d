#pragma once

#include <string_view>

namespace velto::server {

// Equal when the ASCII letters are taken without their case; other bytes must match exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace velto::server
