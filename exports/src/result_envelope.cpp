#include "velto/failure_message.h"
#include "velto/json_box.h"
#include "velto/operation.h"

namespace velto {

std::u16string ResultEnvelope(const std::function<std::u16string()>& operation) {
  TJSONBox response = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(response);
  try {
    const std::u16string data = operation();
    TJSONStream(response) <= JSONPair(u"code", u"SUCCESS") <= JSONPair(u"data", data);
  } catch (...) {
    // Replaces members already written in place, so the order stays "code", "data".
    TJSONStream(response) <= JSONPair(u"code", u"FAIL") <=
        JSONPair(u"data", CurrentFailureMessage());
  }
  return response.Stringify();
}

}  // namespace velto
