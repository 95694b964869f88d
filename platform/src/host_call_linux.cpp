#include "velto/host_call.h"

namespace velto {

// Linux hosts have no structured exceptions: their code is called directly.
void RunHostCall(void (*call)(void*), void* context) {
  call(context);
}

bool HostExceptionPending() {
  return false;
}

void RaisePendingHostException() {}

}  // namespace velto
