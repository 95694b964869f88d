#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velto {

// Fills each "%s" of `format`, left to right, with the next value, percent-encoded as one
// path segment or query value (PercentEncode), so an id can never add a segment, start a
// query or end the request line; a path segment that is "." or ".." goes as %2E or %2E%2E.
// The value of a "name" query key is form-encoded (URLEncode) instead. Values beyond the
// last "%s" are not used.
std::u16string ResourcePath(std::u16string_view format,
                            std::initializer_list<std::u16string_view> values);

// "?name=" and the name URL-encoded (URLEncode); an empty name leaves nothing after "=".
std::u16string NameQuery(std::u16string_view name);

}  // namespace velto
