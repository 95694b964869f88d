#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "console.h"

namespace velto::cli {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void PrepareStandardStreams() {}

bool WriteOut(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written;
}

void WriteError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
}

bool ErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace velto::cli
