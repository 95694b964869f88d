#include "velto/json_box.h"
#include "velto/pass_through_export.h"

namespace velto {

std::u16string RewrittenJsonParameter(std::u16string_view text) {
  TJSONBox parameter = TJSONBox::Create(JSONObject(text));
  JSONRootGuard guard(parameter);
  return parameter.Stringify();
}

}  // namespace velto
