#include <windows.h>

#include "velto/host_failure.h"
#include "velto_box.h"

namespace velto {

// A continuable exception: a host that continues execution gets the export's normal
// return. `message` is the calling thread's kept failure, so the pointer handed out stays
// valid until that thread's next failing export call.
void RaiseToHost(const std::u16string& message) {
  const ULONG_PTR text = reinterpret_cast<ULONG_PTR>(message.c_str());
  RaiseException(VELTO_EXCEPTION_CODE, 0, 1, &text);
}

}  // namespace velto
