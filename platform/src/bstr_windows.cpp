#include <new>

#include "velto/bstr.h"

namespace velto {

BSTR AllocBstr(std::u16string_view text) {
  BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()));
  if (bstr == nullptr) throw std::bad_alloc();
  return bstr;
}

void FreeBstr(BSTR text) {
  SysFreeString(text);
}

uint32_t BstrLength(BSTR text) {
  return SysStringLen(text);
}

}  // namespace velto
