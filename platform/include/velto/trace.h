#pragma once

#include <string_view>

namespace velto {

// One line for a developer watching the library: the debugger output on Windows; on other
// platforms standard error, and only when the environment variable VELTO_TRACE is set.
void DebugTrace(std::u16string_view line);

}  // namespace velto
