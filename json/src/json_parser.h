#pragma once

#include <string_view>

#include "velto/json_value.h"

namespace velto {

// Parses text holding exactly one JSON value, with whitespace around it; nullptr for anything
// else. Iterative: any depth of nesting parses without recursion.
JSONValuePtr ParseJSON(std::u16string_view text);

}  // namespace velto
