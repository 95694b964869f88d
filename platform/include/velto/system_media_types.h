#pragma once

#include <string>
#include <string_view>

namespace velto {

// The media type the system's own table gives a file name extension (without the dot,
// compared without regard to case), or empty text when the table has none: the value
// "Content Type" under HKEY_CLASSES_ROOT\.<extension> on Windows, /etc/mime.types elsewhere
// (read once, on first use; a missing file is an empty table). Safe from any thread.
std::string SystemMediaType(std::string_view extension);

}  // namespace velto
