#pragma once

#include <string_view>
#include <utility>

#include "velto/json_box.h"
#include "velto/velto_error.h"

namespace velto {

// The calling order of every resource operation after its request: parse the reply text as
// one JSON object, check its "code", hand its "value" to `read`, free the parsed reply.
template <typename Read>
auto ReadReplyValue(std::u16string_view reply_text, Read&& read) {
  TJSONBox reply = TJSONBox::Create(JSONObject(reply_text));
  JSONRootGuard guard(reply);
  EVelto::Check(reply);
  return std::forward<Read>(read)(reply[u"value"]);
}

}  // namespace velto
