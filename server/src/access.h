#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "router.h"
#include "services.h"

namespace velto::server {

// Whether a user's roles (names separated by commas, semicolons or blanks) include "root" or
// "admin", in any letter case.
bool IsAdministrator(std::string_view roles);

// The caller behind a live key, with what its roles allow; `use` counts the request as a use.
std::optional<Caller> CallerOf(Services& services, const std::string& key, bool use);

}  // namespace velto::server
