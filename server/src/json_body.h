#pragma once

#include <string_view>

#include "record_table.h"

namespace velto::server {

// Reads a request body that must be one JSON object, each member as text: a string gives its
// characters, a number the characters it was sent with, an object or array its compact JSON
// text, and true, false and null the empty text. A body that is not such an object, holds text
// that is not UTF-8, nests deeper than kMaxJsonDepth or names an id longer than kMaxIdLength
// is a bad request ("303").
Fields ParseObject(std::string_view body);

}  // namespace velto::server
