#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velto {

// A table of media types by file name extension (lower case, without the dot); empty text
// when the table has no entry.
using MediaTypeLookup = std::function<std::string(std::string_view extension)>;

// The media type for a file name's extension, compared without regard to case: the system's
// own table first (SystemMediaType), then a built-in table of common types, then
// "application/octet-stream". An entry of the system's table that is no plain media type
// ("type/subtype") is passed over.
std::string MediaTypeOf(std::u16string_view file_name);
// The same with `system_types` in place of the system's table.
std::string MediaTypeOf(std::u16string_view file_name, const MediaTypeLookup& system_types);

}  // namespace velto
