#include <cstdio>
#include <cstdlib>

#include "velto/trace.h"
#include "velto/unicode.h"

namespace velto {

void DebugTrace(std::u16string_view line) {
  if (std::getenv("VELTO_TRACE") == nullptr) return;
  std::fprintf(stderr, "%s\n", Utf16ToUtf8(line).c_str());
}

}  // namespace velto
