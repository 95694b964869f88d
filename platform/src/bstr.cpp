#include "velto/bstr.h"

namespace velto {

std::u16string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), BstrLength(text));
}

void StoreBstr(BSTR* variable, std::u16string_view text) {
  BSTR fresh = AllocBstr(text);  // before freeing, so a failure keeps the old text
  FreeBstr(*variable);
  *variable = fresh;
}

}  // namespace velto
