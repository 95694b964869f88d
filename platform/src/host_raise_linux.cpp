#include "velto/host_failure.h"

namespace velto {

// Linux hosts have no structured exceptions to catch; they ask VeltoLastError.
void RaiseToHost(const std::u16string&) {}

}  // namespace velto
