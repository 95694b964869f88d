#pragma once

#include <string>
#include <string_view>

namespace velto {

// The charset parameter of a Content-Type value, without quotes; empty when there is none.
std::string CharsetOf(std::string_view content_type);

}  // namespace velto
