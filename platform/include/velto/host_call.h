#pragma once

#include <type_traits>
#include <utility>

namespace velto {

// Thrown across the library's frames when the host's code, called by the library, raised a
// structured exception that nothing in the host's own code handled: the frames in between
// are cleaned up as for any failure, and the export the call came through raises the same
// exception again to the host (RaisePendingHostException). It is neither a velto::Exception
// nor a std::exception, so no handler of the library's own failures mistakes it for one.
class HostException {};

// Runs `call(context)`, which must do nothing but call the host's code and must not throw.
// On Windows a structured exception raised there is caught at this boundary (neither the
// 32-bit DWARF unwinder nor GCC's 64-bit SEH handlers would run the library's destructors
// for it), kept for the calling thread, and HostException is thrown.
void RunHostCall(void (*call)(void*), void* context);

// A call into the host's code (a COM method of the progress receiver or the download
// stream): `call()`'s result, or HostException.
template <typename Call>
auto CallHost(Call call) -> decltype(call()) {
  using Result = decltype(call());
  if constexpr (std::is_void_v<Result>) {
    RunHostCall([](void* context) { (*static_cast<Call*>(context))(); }, &call);
  } else {
    Result result{};
    auto keep = [&] { result = call(); };
    RunHostCall([](void* context) { (*static_cast<decltype(keep)*>(context))(); }, &keep);
    return result;
  }
}

// For destructors and other cleanups, which must not throw: a host exception raised in
// `cleanup` stays kept for the export to raise again.
template <typename Cleanup>
void RunHostCleanup(Cleanup&& cleanup) noexcept {
  try {
    std::forward<Cleanup>(cleanup)();
  } catch (const HostException&) {  // kept; the export raises it
  }
}

// Whether a host exception caught on the calling thread waits to be raised again.
bool HostExceptionPending();

// Raises the calling thread's pending host exception again, with its code, flags and
// parameters (what a parameter points to in the host's frames is put back where it was),
// after keeping a message for VeltoLastError. Returns only when the host continued
// execution, or when nothing was pending. Nothing with a destructor may be alive in the
// caller's frame: a host that unwinds never returns to it.
void RaisePendingHostException();

}  // namespace velto
