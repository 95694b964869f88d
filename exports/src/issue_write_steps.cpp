#include "velto/issue_write_steps.h"

#include <cstdint>
#include <vector>

#include "velto/billing_dao.h"
#include "velto/file_dao.h"
#include "velto/gate_address.h"
#include "velto/global.h"
#include "velto/issue_dao.h"
#include "velto/missing_record.h"
#include "velto/multipart_form.h"
#include "velto/person_dao.h"
#include "velto/portal_dao.h"

namespace velto {
namespace {

std::u16string Text(const TJSONBox& object, std::u16string_view path) {
  return object[path].AsString();
}

// The person's first record of `name` (an issue or a portal) as the server lists it. An
// end of validity is only ever moved forward: std::u16string compares by code unit.
template <typename DAO, typename Record>
Record FindOrCreate(const TVeltoPerson& person, const std::u16string& name,
                    const std::u16string& end_time) {
  Record record;
  record.SiteId = person.SiteId;
  record.PersonId = person.Id;
  record.Name = name;
  const std::vector<Record> found = DAO::GetList(record);
  if (found.empty()) {
    record.EndTime = end_time;
    return DAO::Add(record);
  }
  record = found.front();
  if (end_time > record.EndTime) {
    record.EndTime = end_time;
    DAO::Modify(record);
  }
  return record;
}

std::u16string BillingContents(const TJSONBox& files) {
  std::u16string contents;
  const int32_t count = files.Count();
  for (int32_t index = 0; index < count; ++index) {
    const TJSONBox element = files[index];
    std::u16string piece = Text(element, u"hlscName");
    if (piece.empty()) piece = BareFileName(Text(element, u"fileName"));
    if (index > 0) contents += u'|';
    contents += piece;
  }
  return contents;
}

}  // namespace

TVeltoPerson EnsurePerson(const TJSONBox& request) {
  TVeltoPerson person = ConfiguredSitePerson(Text(request, u"id"));
  if (auto stored = ReadUnlessMissing([&] { return TVeltoPersonDAO::Get(person); })) {
    return *stored;
  }
  person.Name = Text(request, u"name");
  person.Gender = Text(request, u"gender");
  person.Birth = Text(request, u"birth");
  person.Phone = Text(request, u"phone");
  TVeltoPersonDAO::Add(person);
  return person;
}

TVeltoIssue EnsureIssue(const TVeltoPerson& person, const std::u16string& name,
                        const std::u16string& end_time) {
  return FindOrCreate<TVeltoIssueDAO, TVeltoIssue>(person, name, end_time);
}

void UploadFiles(const TVeltoIssue& issue, const TJSONBox& files) {
  const int32_t count = files.Count();  // ETypeMismatch for anything but an array
  for (int32_t index = 0; index < count; ++index) {
    const TJSONBox element = files[index];
    const std::u16string path = Text(element, u"fileName");
    TVeltoFile file;
    file.SiteId = issue.SiteId;
    file.PersonId = issue.PersonId;
    file.IssueId = issue.Id;
    file.HlscName = Text(element, u"hlscName");
    file.HlscDate = Text(element, u"hlscDate");
    TVeltoFileDAO::Add(file, path);
  }
}

void BookResult(const TVeltoIssue& issue, const TJSONBox& files) {
  TVeltoBilling billing;
  billing.ClassCd = u"result";
  billing.SiteId = issue.SiteId;
  billing.PersonId = issue.PersonId;
  billing.Id = issue.Id;
  billing.Name = issue.Name;
  billing.Contents = BillingContents(files);
  TVeltoBillingDAO::Add(billing);
}

std::u16string PortalGate(const TVeltoPerson& person, const TJSONBox& request) {
  const TVeltoPortal portal = FindOrCreate<TVeltoPortalDAO, TVeltoPortal>(
      person, Text(request, u"portal.name"), Text(request, u"portal.endTime"));
  return GateAddress(portal.Id);
}

}  // namespace velto
