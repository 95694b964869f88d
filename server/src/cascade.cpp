#include "cascade.h"

#include "kinds.h"

namespace velto::server {

void DeleteFile(Services& services, const Fields& file, DoomedFiles& doomed) {
  RecordTable(services.db, kinds::kFile).Remove({{"id", file.at("id")}});
  doomed.Add(file.at("path"));
}

void DeleteIssue(Services& services, const std::string& issue_id, DoomedFiles& doomed) {
  RecordTable files(services.db, kinds::kFile);
  for (const Fields& file : files.List({{{"issueId", issue_id}}})) {
    DeleteFile(services, file, doomed);
  }
  RecordTable(services.db, kinds::kSurvey).Remove({{"issueId", issue_id}});
  RecordTable(services.db, kinds::kIssue).Remove({{"id", issue_id}});
}

void DeletePerson(Services& services, const std::string& site_id, const std::string& person_id,
                  DoomedFiles& doomed) {
  const Fields of_person{{"siteId", site_id}, {"personId", person_id}};
  for (const Fields& issue : RecordTable(services.db, kinds::kIssue).List({of_person})) {
    DeleteIssue(services, issue.at("id"), doomed);
  }
  RecordTable(services.db, kinds::kPortal).Remove(of_person);
  RecordTable(services.db, kinds::kConsent).Remove(of_person);
  RecordTable(services.db, kinds::kPerson).Remove({{"siteId", site_id}, {"id", person_id}});
}

void DeleteSite(Services& services, const std::string& site_id, DoomedFiles& doomed) {
  for (const Fields& person :
       RecordTable(services.db, kinds::kPerson).List({{{"siteId", site_id}}})) {
    DeletePerson(services, site_id, person.at("id"), doomed);
  }
  RecordTable files(services.db, kinds::kFile);
  for (const Fields& logo : files.List({{{"siteId", site_id}, {"issueId", ""}}})) {
    DeleteFile(services, logo, doomed);
  }
  RecordTable(services.db, kinds::kSite).Remove({{"id", site_id}});
}

void DeleteUser(Services& services, const std::string& user_id) {
  RecordTable(services.db, kinds::kUserCard).Remove({{"userId", user_id}});
  services.sessions.EndAllOf(user_id);
  RecordTable(services.db, kinds::kUser).Remove({{"id", user_id}});
}

}  // namespace velto::server
