#pragma once

#include <string_view>

namespace velto {

// Deletes the issues the server lists under `issue_name` for the person of the configured
// site, in its order; an unknown person fails before any list. Deletions done before a
// failure stay done.
void DeleteIssues(std::u16string_view person_id, std::u16string_view issue_name);

// Deletes the person of the configured site; what belongs to the person is the server's
// affair.
void DeletePerson(std::u16string_view person_id);

}  // namespace velto
