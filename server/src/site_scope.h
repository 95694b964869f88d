#pragma once

#include <string>
#include <vector>

#include "router.h"
#include "services.h"

namespace velto::server {

// Refuses ("405") a caller who is no administrator when the route `pattern` reaches, through
// its path values `args`, the records of a site the caller's roles do not name. Persons and
// everything below them are kept per site; users, cards and the site records themselves are
// not. A record the path names that does not exist is left to the route to report; a route
// this does not know is refused.
void RequireSiteOfRequest(Services& services, const Caller& caller, const std::string& pattern,
                          const std::vector<std::string>& args);

}  // namespace velto::server
