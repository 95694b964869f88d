#pragma once

#include <string>

#include "services.h"

namespace velto::server {

// Deletions that take the records depending on the deleted one with them. The caller holds the
// database lock and a transaction; the bytes of deleted files are added to `doomed`.
void DeleteFile(Services& services, const Fields& file, DoomedFiles& doomed);
// An issue with its files and surveys.
void DeleteIssue(Services& services, const std::string& issue_id, DoomedFiles& doomed);
// A person with the person's issues, portals and consent.
void DeletePerson(Services& services, const std::string& site_id, const std::string& person_id,
                  DoomedFiles& doomed);
// A site with its persons and its logo.
void DeleteSite(Services& services, const std::string& site_id, DoomedFiles& doomed);
// A user with the user's cards and sessions.
void DeleteUser(Services& services, const std::string& user_id);

}  // namespace velto::server
