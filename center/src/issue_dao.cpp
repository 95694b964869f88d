#include "velto/issue_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {
namespace {

std::u16string IssuesPath(const TVeltoIssue& issue) {
  return ResourcePath(u"/issues/%s/%s", {issue.SiteId, issue.PersonId});
}

std::u16string IssuePath(const TVeltoIssue& issue) {
  return ResourcePath(u"/issue/%s", {issue.Id});
}

}  // namespace

std::vector<TVeltoIssue> TVeltoIssueDAO::GetList(const TVeltoIssue& search) {
  return GetValue(IssuesPath(search) + NameQuery(search.Name), ListOf(ToIssue));
}

TVeltoIssue TVeltoIssueDAO::Add(const TVeltoIssue& issue) {
  return PostRecord(IssuesPath(issue), issue, ToIssue);
}

TVeltoIssue TVeltoIssueDAO::Get(const TVeltoIssue& issue) {
  return GetValue(IssuePath(issue), ToIssue);
}

void TVeltoIssueDAO::Modify(const TVeltoIssue& issue) {
  PutRecord(IssuePath(issue), issue);
}

void TVeltoIssueDAO::Delete(const TVeltoIssue& issue) {
  DeleteResource(IssuePath(issue));
}

}  // namespace velto
