#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "velto/exception.h"
#include "velto/host_call.h"
#include "velto/host_failure.h"
#include "velto/unicode.h"

namespace velto {

// Runs the body of an export so that no C++ exception leaves it: a failure is kept for the
// calling thread (VeltoLastError) and raised to the host the platform's way, after the
// handler has ended; a call that does not fail so clears what the thread kept (also what a
// call nested in it, from a progress callback, kept). A structured exception that the
// host's own code raised inside the call goes first: it is raised again, as it was.
template <typename Body>
void GuardExport(Body&& body) noexcept {
  std::optional<std::u16string> failure;
  try {
    std::forward<Body>(body)();
  } catch (const HostException&) {  // kept where it was caught; raised again below
  } catch (const Exception& error) {
    failure = error.Message();
  } catch (const std::exception& error) {
    failure = Utf8ToUtf16(error.what());
  } catch (...) {
    failure = u"Unknown failure";
  }
  // Raising is the last step, with nothing left in this frame to free: a host that unwinds
  // never comes back here.
  if (HostExceptionPending()) {
    failure.reset();
    RaisePendingHostException();
  } else if (failure) {
    ReportFailureToHost(std::move(*failure));
  } else {
    ClearHostFailure();
  }
}

}  // namespace velto
