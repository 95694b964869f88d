#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "velto/exception.h"
#include "velto/host_failure.h"
#include "velto/unicode.h"

namespace velto {

// Runs the body of an export so that no C++ exception leaves it: a failure is kept for the
// calling thread (VeltoLastError) and raised to the host the platform's way, after the
// handler has ended; a call that does not fail so clears what the thread kept (also what a
// call nested in it, from a progress callback, kept).
template <typename Body>
void GuardExport(Body&& body) noexcept {
  std::optional<std::u16string> failure;
  try {
    std::forward<Body>(body)();
  } catch (const Exception& error) {
    failure = error.Message();
  } catch (const std::exception& error) {
    failure = Utf8ToUtf16(error.what());
  } catch (...) {
    failure = u"Unknown failure";
  }
  if (failure) {
    ReportFailureToHost(*failure);
  } else {
    ClearHostFailure();
  }
}

}  // namespace velto
