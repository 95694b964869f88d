#pragma once

#include <cstddef>
#include <string_view>

namespace velto::server {

// Whether `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

// The number of characters of well-formed UTF-8 text.
std::size_t CharacterCount(std::string_view text);

}  // namespace velto::server
