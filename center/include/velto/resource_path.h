#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velto {

// Fills each "%s" and "%q" of `format`, left to right, with the next value. A "%s" takes it
// percent-encoded as one path segment or query value (PercentEncode), so an id can never add
// a segment, start a query or end the request line; a path segment that is "." or ".." goes
// as %2E or %2E%2E. A "%q" takes it form-encoded (URLEncode), as the server reads a name it
// searches for. Values beyond the last placeholder are not used.
std::u16string ResourcePath(std::u16string_view format,
                            std::initializer_list<std::u16string_view> values);

}  // namespace velto
