#pragma once

#include <optional>
#include <string>

#include "database.h"

namespace velto::server {

inline constexpr const char* kRootUserId = "root";

// Creates the schema, and on an empty database the root user (roles "root") with one card,
// numbered `admin_card` or at random. Returns the card's number when it made one.
std::optional<std::string> Bootstrap(Database& db, const std::string& admin_card);

}  // namespace velto::server
