#include "velto/issue_writes.h"

#include <cstdint>

#include "velto/issue_write_steps.h"
#include "velto/result_envelope.h"

namespace velto {

std::u16string WriteIssue(const TJSONBox& request) {
  const TVeltoPerson person = EnsurePerson(request);
  const TVeltoIssue issue =
      EnsureIssue(person, request[u"issue.name"].AsString(), request[u"issue.endTime"].AsString());
  const TJSONBox files = request[u"issue.files"];
  UploadFiles(issue, files);
  BookResult(issue, files);
  return PortalGate(person, request);
}

std::u16string WriteIssues(const TJSONBox& request) {
  const TVeltoPerson person = EnsurePerson(request);
  const TJSONBox elements = request[u"issues"];
  const int32_t count = elements.Count();  // ETypeMismatch for anything but an array
  // The billing entry needs the last element's files array; without elements there is
  // none, and the call fails as it does for a missing array, before any issue is written.
  if (count == 0) throw ETypeMismatch();
  TVeltoIssue issue;
  TJSONBox files;
  for (int32_t index = 0; index < count; ++index) {
    const TJSONBox element = elements[index];
    issue = EnsureIssue(person, element[u"name"].AsString(), element[u"endTime"].AsString());
    files = element[u"files"];
    UploadFiles(issue, files);
  }
  BookResult(issue, files);
  return PortalGate(person, request);
}

std::u16string InputEnvelope(std::u16string_view data,
                             std::u16string (*write)(const TJSONBox& request)) {
  TJSONBox envelope = TJSONBox::Create(JSONObject(data));
  JSONRootGuard guard(envelope);
  return EnvelopeText(envelope, [&] {
    TJSONBox request = TJSONBox::Create(JSONObject(data));
    JSONRootGuard request_guard(request);
    PutSuccess(envelope, write(request));
  });
}

}  // namespace velto
