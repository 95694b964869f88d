#pragma once

#ifdef _WIN32
#include <windows.h>

#include <string>

namespace velto {

// The system's own sentence for a Windows error code, without its closing line break or
// full stop; looked up in `module`'s message table first when one is given. Empty when the
// system has no text for the code.
std::u16string SystemErrorText(DWORD code, HMODULE module = nullptr);

// The system's sentence for the code with exactly one closing full stop, or "Windows error"
// and the code where the system has none.
std::u16string SystemErrorSentence(DWORD code);

}  // namespace velto
#endif
