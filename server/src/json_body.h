#pragma once

#include <string_view>

#include "record_table.h"

namespace velto::server {

// Reads a request body that must be one JSON object, each member as text: a string gives its
// characters, a number the characters it was sent with, an object or array its compact JSON
// text, and true, false and null the empty text. Anything else is a bad request ("303").
Fields ParseObject(std::string_view body);

}  // namespace velto::server
