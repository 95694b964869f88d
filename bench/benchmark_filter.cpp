#include "benchmark_filter.h"

#include <regex.h>

#include <memory>
#include <stdexcept>

namespace velto::bench {

// POSIX regex rather than std::regex, whose code trips g++ 12's uninitialised-use warning under
// ASan.
bool FilterMatches(const std::string& filter, const char* name) {
  struct Free {
    void operator()(regex_t* compiled) const { regfree(compiled); }
  };
  regex_t compiled;
  if (regcomp(&compiled, filter.c_str(), REG_EXTENDED | REG_NOSUB) != 0) {
    throw std::invalid_argument("not a regular expression: " + filter);
  }
  const std::unique_ptr<regex_t, Free> owner(&compiled);
  return regexec(&compiled, name, 0, nullptr, 0) == 0;
}

}  // namespace velto::bench
