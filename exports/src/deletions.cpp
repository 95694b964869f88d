#include "velto/deletions.h"

#include "velto/global.h"
#include "velto/issue_dao.h"
#include "velto/person_dao.h"

namespace velto {

void DeleteIssues(std::u16string_view person_id, std::u16string_view issue_name) {
  const TVeltoPerson person = TVeltoPersonDAO::Get(ConfiguredSitePerson(person_id));
  TVeltoIssue search;
  search.SiteId = person.SiteId;
  search.PersonId = person_id;
  search.Name = issue_name;
  for (const TVeltoIssue& issue : TVeltoIssueDAO::GetList(search)) TVeltoIssueDAO::Delete(issue);
}

void DeletePerson(std::u16string_view person_id) {
  TVeltoPersonDAO::Delete(ConfiguredSitePerson(person_id));
}

}  // namespace velto
