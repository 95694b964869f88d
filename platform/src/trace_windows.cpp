#include <windows.h>

#include <string>

#include "velto/trace.h"

namespace velto {

void DebugTrace(std::u16string_view line) {
  const std::u16string text(line);
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(text.c_str()));
}

}  // namespace velto
