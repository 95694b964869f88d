#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velto::test {

// What a host's unwinding handler saw of the exception it caught, copied while it searched
// for a handler (the raising frames were still in place then).
struct Unwound {
  DWORD code = 0;
  DWORD flags = 0;
  std::vector<ULONG_PTR> parameters;
  std::string first_parameter_text;  // what parameter 0 points to, as `read_text` reads it
};

// How the handler reads the text parameter 0 points to; none by default.
using TextReader = std::function<std::string(ULONG_PTR)>;

// Calls `call` the way a host does whose handler around a call unwinds to itself instead
// of continuing execution: a __try/__except, a C++ catch of an MSVC-built host, a Delphi
// try/except. Returns what it caught, or nothing when `call` returned.
std::optional<Unwound> CallUnderUnwindingHandler(const std::function<void()>& call,
                                                 TextReader read_text = {});

}  // namespace velto::test
