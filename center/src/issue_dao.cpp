#include "velto/issue_dao.h"

#include "velto/typed_request.h"

namespace velto {

std::vector<TVeltoIssue> TVeltoIssueDAO::GetList(const TVeltoIssue& search) {
  return GetValue(
      PassThroughPath(PassThroughId::Issue_GetList, {search.SiteId, search.PersonId, search.Name}),
      ListOf(ToIssue));
}

TVeltoIssue TVeltoIssueDAO::Add(const TVeltoIssue& issue) {
  return PostRecord(PassThroughPath(PassThroughId::Issue_Add, {issue.SiteId, issue.PersonId}),
                    issue, ToIssue);
}

TVeltoIssue TVeltoIssueDAO::Get(const TVeltoIssue& issue) {
  return GetValue(PassThroughPath(PassThroughId::Issue_Get, {issue.Id}), ToIssue);
}

void TVeltoIssueDAO::Modify(const TVeltoIssue& issue) {
  PutRecord(PassThroughPath(PassThroughId::Issue_Modify, {issue.Id}), issue);
}

void TVeltoIssueDAO::Delete(const TVeltoIssue& issue) {
  DeleteResource(PassThroughPath(PassThroughId::Issue_Delete, {issue.Id}));
}

}  // namespace velto
