#pragma once

#include <cstdint>

namespace velto {

// The calling thread. An ended thread's tag may be given to a new thread.
uint64_t CurrentThreadTag();

// Has ClearHostFailure run on the calling thread when it ends. On Windows the library's
// thread-detach notice does that for every thread, so this does nothing there.
void ClearHostFailureAtThreadEnd() noexcept;

}  // namespace velto
