#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velto::cli {

// Whether a C1 control (U+0080..U+009F: C2 followed by 80..9F in UTF-8) starts at `at`.
// Terminals take some of them (CSI, OSC) as the start of a control sequence, like ESC.
bool IsC1Control(std::string_view text, size_t at);

// A text from the server made safe to show on a terminal: control characters other than
// line feed and tab (an escape sequence could move the cursor, retitle the window or hide
// what was printed) are written as \xHH, and the C1 controls U+0080..U+009F as \uHHHH.
std::string PrintableText(std::string_view text);

}  // namespace velto::cli
