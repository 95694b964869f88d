#include "velto/result_envelope.h"

#include <cstddef>
#include <utility>

#include "velto/failure_message.h"
#include "velto/freed_memory.h"
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

void PutSuccess(const TJSONBox& response, std::u16string data) {
  TJSONStream(response) <= JSONPair(u"code", u"SUCCESS");
  // Put in place rather than streamed (which copies twice), and the text freed once the
  // value holds it: a large result is held at most twice at any time.
  const std::size_t data_bytes = data.size() * sizeof(char16_t);
  JSONValuePtr value = JSONValue::String(data);
  std::u16string().swap(data);
  ReturnFreedMemory(data_bytes);
  response.Content->PutMember(u"data", std::move(value));
}

std::u16string ResultEnvelope(const std::function<std::u16string()>& operation) {
  std::size_t data_bytes = 0;
  const ReturnFreedMemoryOnExit document_freed(data_bytes);
  TJSONBox response = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(response);
  return EnvelopeText(response, [&] {
    std::u16string data = operation();
    data_bytes = data.size() * sizeof(char16_t);
    PutSuccess(response, std::move(data));
  });
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
