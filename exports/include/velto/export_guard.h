#pragma once

#include <string>
#include <utility>

#include "velto/failure_message.h"
#include "velto/host_call.h"
#include "velto/host_failure.h"

namespace velto {

// Runs the body of an export so that no C++ exception leaves it: a failure is kept for the
// calling thread (VeltoLastError) and raised to the host the platform's way, after the
// handler has ended; a call that does not fail so clears what the thread kept (also what a
// call nested in it, from a progress callback, kept). Keeping a failure cannot fail, so
// running out of memory cannot end the host's process here. A structured exception that
// the host's own code raised inside the call goes first: it is raised again, as it was.
template <typename Body>
void GuardExport(Body&& body) noexcept {
  const std::u16string* failure = nullptr;
  try {
    std::forward<Body>(body)();
  } catch (const HostException&) {  // kept where it was caught; raised again below
  } catch (...) {
    failure = &KeepCurrentFailure();
  }
  // Raising is the last step, with nothing left in this frame to free: a host that unwinds
  // never comes back here.
  if (HostExceptionPending()) {
    RaisePendingHostException();
  } else if (failure != nullptr) {
    RaiseToHost(*failure);
  } else {
    ClearHostFailure();
  }
}

}  // namespace velto
