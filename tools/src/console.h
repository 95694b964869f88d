#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto::cli {

// The process's own streams, arguments and environment, in UTF-8 on every platform.

// The command line's arguments, the program's name first.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
std::optional<std::string> EnvironmentVariable(const char* name);

// Standard input, output and error carry bytes as they are (no line-end translation).
void PrepareStandardStreams();
std::string ReadStandardInput();
// False when the text could not all be written (a full disk, a closed pipe).
[[nodiscard]] bool WriteOut(std::string_view text);
void WriteError(std::string_view text);
bool ErrorIsTerminal();
// The width of the terminal of standard error, as it is now; 0 when unknown.
size_t ErrorTerminalColumns();

}  // namespace velto::cli
