#include "velto/result_envelope.h"

namespace velto {

std::u16string EnvelopeText(const TJSONBox& response, const std::function<void()>& work) {
  try {
    work();
  } catch (const Exception& error) {
    TJSONStream(response) <= JSONPair(u"code", u"FAIL") <= JSONPair(u"data", error.Message());
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
