#pragma once

#include <string>
#include <string_view>

namespace velto {

// A failure that leaves an export without a result: the message is kept for the calling
// thread (VeltoLastError) and, where the platform has a way, raised to the host.

inline constexpr std::u16string_view kOutOfMemoryMessage = u"Out of memory";

// Keeps `message` as the calling thread's failure and returns the kept text, which stays
// in place until the thread's next export call. Never fails: when there is no memory to
// keep it, the thread keeps "Out of memory" instead.
const std::u16string& KeepHostFailure(std::u16string_view message) noexcept;

// The calling thread's last kept failure; empty once an export call ended otherwise, and
// for a thread that kept none (a thread's failure goes when the thread ends, so a new
// thread that is given an ended thread's id does not see it).
std::u16string LastHostFailure();
void ClearHostFailure() noexcept;

// The platform part: raises the kept message to the host (a continuable SEH exception with
// the code VELTO_EXCEPTION_CODE on Windows; nothing elsewhere).
void RaiseToHost(const std::u16string& message);

}  // namespace velto
