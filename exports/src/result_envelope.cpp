#include "velto/result_envelope.h"

#include "velto/failure_message.h"
#include "velto/host_call.h"

namespace velto {

std::u16string EnvelopeText(const TJSONBox& response, const std::function<void()>& work) {
  try {
    work();
  } catch (const HostException&) {
    throw;  // the host's own exception leaves the export as it was raised
  } catch (...) {
    // Replaces members already written in place, so the order stays "code", "data".
    TJSONStream(response) <= JSONPair(u"code", u"FAIL") <=
        JSONPair(u"data", CurrentFailureMessage());
  }
  return response.Stringify();
}

void PutSuccess(const TJSONBox& response, std::u16string_view data) {
  TJSONStream(response) <= JSONPair(u"code", u"SUCCESS") <= JSONPair(u"data", data);
}

std::u16string ResultEnvelope(const std::function<std::u16string()>& operation) {
  TJSONBox response = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(response);
  return EnvelopeText(response, [&] { PutSuccess(response, operation()); });
}

std::u16string CodeEnvelope(const std::function<void()>& operation) {
  TJSONBox response = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(response);
  return EnvelopeText(response, [&] {
    operation();
    TJSONStream(response) <= JSONPair(u"code", u"SUCCESS");
  });
}

}  // namespace velto
