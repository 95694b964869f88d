#include "velto/bstr.h"

#include "velto/exception.h"

namespace velto {

std::u16string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), BstrLength(text));
}

void RequireVariable(BSTR* variable) {
  if (variable == nullptr) throw Exception(u"No variable was given for the result");
}

void StoreBstr(BSTR* variable, std::u16string_view text) {
  RequireVariable(variable);
  BSTR fresh = AllocBstr(text);  // before freeing, so a failure keeps the old text
  FreeBstr(*variable);
  *variable = fresh;
}

}  // namespace velto
