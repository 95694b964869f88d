#pragma once

#include <string>
#include <string_view>

namespace velto {

// `text` with A to Z made lower case; every other byte, UTF-8 included, stays as it is.
std::string AsciiLowerCase(std::string_view text);

}  // namespace velto
