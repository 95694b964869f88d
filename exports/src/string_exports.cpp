#include <string_view>

#include "velto/bstr.h"
#include "velto/host_failure.h"
#include "velto_box.h"

using namespace velto;

// These never fail in a way the host must hear of, and they leave the thread's last
// failure alone so that a host can free texts before asking for it.
extern "C" {

VELTO_API void STDCALL VeltoLastError(BSTR* Result) {
  if (Result == nullptr) return;
  try {
    StoreBstr(Result, LastHostFailure());
  } catch (...) {  // out of memory: the variable keeps what it held
  }
}

VELTO_API BSTR STDCALL VeltoAllocString(const OLECHAR* Text, uint32_t Length) {
  try {
    if (Text == nullptr) return AllocBstr(std::u16string(Length, u'\0'));
    return AllocBstr(std::u16string_view(reinterpret_cast<const char16_t*>(Text), Length));
  } catch (...) {
    return nullptr;
  }
}

VELTO_API void STDCALL VeltoFreeString(BSTR Text) {
  FreeBstr(Text);
}

}  // extern "C"
