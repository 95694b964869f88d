#include "velto/person_document.h"

#include "velto/file_dao.h"
#include "velto/global.h"
#include "velto/issue_dao.h"
#include "velto/json_box.h"
#include "velto/person_dao.h"

namespace velto {
namespace {

void PutFiles(const TJSONBox& issue_object, const TVeltoIssue& issue) {
  TVeltoFile search;
  search.SiteId = issue.SiteId;
  search.PersonId = issue.PersonId;
  search.IssueId = issue.Id;
  const std::vector<TVeltoFile> files = TVeltoFileDAO::GetList(search);
  const TJSONBox file_array = issue_object.Put(u"files", JSONArray());
  for (const TVeltoFile& file : files) {
    TJSONStream(file_array.Push(JSONObject())) <= JSONPair(u"id", file.Id) <=
        JSONPair(u"hlscName", file.HlscName) <= JSONPair(u"hlscDate", file.HlscDate) <=
        JSONPair(u"fileName", file.FileName) <= JSONPair(u"filesize", file.FileSize);
  }
}

void PutIssues(const TJSONBox& document, const TVeltoPerson& person) {
  // The site of the server's reply, not the configured one.
  TVeltoIssue search;
  search.SiteId = person.SiteId;
  search.PersonId = person.Id;
  const std::vector<TVeltoIssue> issues = TVeltoIssueDAO::GetList(search);
  const TJSONBox issue_array = document.Put(u"issues", JSONArray());
  for (const TVeltoIssue& issue : issues) {
    const TJSONBox issue_object = issue_array.Push(JSONObject());
    TJSONStream(issue_object) <= JSONPair(u"id", issue.Id) <= JSONPair(u"name", issue.Name);
    PutFiles(issue_object, issue);
  }
}

}  // namespace

std::u16string PersonDocument(std::u16string_view person_id) {
  const TVeltoPerson person = TVeltoPersonDAO::Get(ConfiguredSitePerson(person_id));

  TJSONBox document = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(document);
  TJSONStream(document) <= JSONPair(u"id", person.Id) <= JSONPair(u"name", person.Name) <=
      JSONPair(u"gender", person.Gender) <= JSONPair(u"birth", person.Birth) <=
      JSONPair(u"phone", person.Phone);
  PutIssues(document, person);
  return document.Stringify();
}

}  // namespace velto
