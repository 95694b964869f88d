#include <windows.h>

#include "velto/thread_end.h"

namespace velto {

uint64_t CurrentThreadTag() {
  return GetCurrentThreadId();
}

// DllMain clears each thread's failure at DLL_THREAD_DETACH.
void ClearHostFailureAtThreadEnd() noexcept {}

}  // namespace velto
