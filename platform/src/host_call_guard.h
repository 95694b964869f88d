#pragma once

// The frame handler around a call into the host's code (Windows): one trampoline per
// architecture, host_call_guard_i686_windows.cpp and host_call_guard_x86_64_windows.cpp.

#include <windows.h>

#include <cstddef>

namespace velto {

// What the handler keeps of a structured exception it caught, before the host's frames are
// unwound: the record, and a copy of the stack between the handler and the trampoline, for
// parameters that point into the host's frames (a C++ exception object lives there).
struct CaughtException {
  EXCEPTION_RECORD record;
  const char* stack_low;  // where the copy was taken
  size_t stack_size;
  void* stack_copy;  // from the process heap (HeapFree), or null when there was no room
};

// Copies the record and the stack from `stack_low` up to `stack_top`. Runs inside the
// handler: allocates only from the process heap and never throws.
void KeepCaughtException(const EXCEPTION_RECORD& record, const char* stack_low,
                         const char* stack_top, CaughtException& caught) noexcept;

// Exceptions of this library's own C++ runtime (GCC's 64-bit SEH unwinder raises them to
// throw and unwind): they are no host exceptions and pass the handler untouched.
bool IsGccException(DWORD code) noexcept;

}  // namespace velto

// Calls `call(context)` under the handler. Returns 0 when it returned, 1 when the handler
// caught an exception raised below it: `caught` is filled and the frames below were
// unwound.
extern "C" int velto_guarded_call(void (*call)(void*), void* context,
                                  velto::CaughtException* caught);
