#pragma once

#include <string>

namespace velto {

// A failure that leaves an export without a result: the message is kept for the calling
// thread (VeltoLastError) and, where the platform has a way, raised to the host. Taking the
// message by value lets a caller move it in, so that nothing of it is left to free in the
// caller's frame when a host unwinds past it.
void ReportFailureToHost(std::u16string message);

// Keeps `message` for the calling thread without raising it; the text stays in place until
// the thread's next export call that fails or clears it.
const std::u16string& KeepHostFailure(std::u16string message);

// The calling thread's last reported failure; empty once an export call ended otherwise.
std::u16string LastHostFailure();
void ClearHostFailure();

// The platform part: raises the message to the host (a continuable SEH exception with the
// code VELTO_EXCEPTION_CODE on Windows; nothing elsewhere).
void RaiseToHost(const std::u16string& message);

}  // namespace velto
