#include "access.h"

#include <algorithm>

#include "ascii_text.h"
#include "kinds.h"

namespace velto::server {

bool IsAdministrator(std::string_view roles) {
  constexpr std::string_view kSeparators = ",; \t";
  size_t start = 0;
  while (start < roles.size()) {
    const size_t end = std::min(roles.find_first_of(kSeparators, start), roles.size());
    const std::string_view role = roles.substr(start, end - start);
    if (EqualsIgnoringCase(role, "root") || EqualsIgnoringCase(role, "admin")) return true;
    start = end + 1;
  }
  return false;
}

std::optional<Caller> CallerOf(Services& services, const std::string& key, bool use) {
  auto lock = services.db.Lock();
  const std::optional<std::string> user_id = services.sessions.UserOf(key, use);
  if (!user_id) return std::nullopt;
  const auto user = RecordTable(services.db, kinds::kUser).Find({{"id", *user_id}});
  return Caller{*user_id, user && IsAdministrator(user->at("roles"))};
}

}  // namespace velto::server
