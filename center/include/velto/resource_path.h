#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velto {

// Fills each "%s" of `format`, left to right, with the next value, percent-encoded as one
// path segment (PercentEncode; "." and ".." as "%2E" and "%2E%2E"), so an id can never add
// or remove a segment, start a query or end the request line. `format` holds as many "%s" as there are values.
std::u16string ResourcePath(std::u16string_view format,
                            std::initializer_list<std::u16string_view> values);

// "?name=" and the name URL-encoded (URLEncode); an empty name leaves nothing after "=".
std::u16string NameQuery(std::u16string_view name);

}  // namespace velto
