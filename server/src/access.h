#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "router.h"
#include "services.h"

namespace velto::server {

// Whether a user's roles (names separated by commas, semicolons or blanks) include "root" or
// "admin", in any letter case.
bool IsAdministrator(std::string_view roles);

// The sites a user's roles name as "site:ID": the role word in any letter case, the id exact.
std::vector<std::string> SitesOf(std::string_view roles);

// The caller behind a live key, with what its roles allow; `use` counts the request as a use.
std::optional<Caller> CallerOf(Services& services, const std::string& key, bool use);

}  // namespace velto::server
