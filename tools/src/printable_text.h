#pragma once

#include <string>
#include <string_view>

namespace velto::cli {

// A text from the server made safe to show on a terminal: control characters other than
// line feed and tab (an escape sequence could move the cursor, retitle the window or hide
// what was printed) are written as \xHH, and the C1 controls U+0080..U+009F as \uHHHH.
std::string PrintableText(std::string_view text);

}  // namespace velto::cli
