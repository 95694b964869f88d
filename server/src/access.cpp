#include "access.h"

#include <algorithm>
#include <functional>

#include "ascii_text.h"
#include "kinds.h"

namespace velto::server {
namespace {

constexpr std::string_view kSitePrefix = "site:";

// Calls `visit` with each role of `roles`, in order.
void ForEachRole(std::string_view roles, const std::function<void(std::string_view)>& visit) {
  constexpr std::string_view kSeparators = ",; \t";
  size_t start = 0;
  while (start < roles.size()) {
    const size_t end = std::min(roles.find_first_of(kSeparators, start), roles.size());
    if (end > start) visit(roles.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

bool IsAdministrator(std::string_view roles) {
  bool admin = false;
  ForEachRole(roles, [&](std::string_view role) {
    admin = admin || EqualsIgnoringCase(role, "root") || EqualsIgnoringCase(role, "admin");
  });
  return admin;
}

std::vector<std::string> SitesOf(std::string_view roles) {
  std::vector<std::string> sites;
  ForEachRole(roles, [&](std::string_view role) {
    if (role.size() > kSitePrefix.size() &&
        EqualsIgnoringCase(role.substr(0, kSitePrefix.size()), kSitePrefix)) {
      sites.emplace_back(role.substr(kSitePrefix.size()));
    }
  });
  return sites;
}

std::optional<Caller> CallerOf(Services& services, const std::string& key, bool use) {
  auto lock = services.db.Lock();
  const std::optional<std::string> user_id = services.sessions.UserOf(key, use);
  if (!user_id) return std::nullopt;
  const auto user = RecordTable(services.db, kinds::kUser).Find({{"id", *user_id}});
  if (!user) return Caller{*user_id, false, {}};
  const std::string& roles = user->at("roles");
  return Caller{*user_id, IsAdministrator(roles), SitesOf(roles)};
}

}  // namespace velto::server
