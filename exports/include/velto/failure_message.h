#pragma once

#include <string>

namespace velto {

// Both are called inside a catch block, about the exception being handled.

// A velto::Exception's message, "Out of memory" for std::bad_alloc, the what() text of
// any other standard exception, "Unknown failure" for anything else. Needs memory itself.
std::u16string CurrentFailureMessage();

// Keeps that message for the calling thread (VeltoLastError) and returns the kept text:
// "Out of memory" when there is no memory to make or keep it. Never fails.
const std::u16string& KeepCurrentFailure() noexcept;

}  // namespace velto
