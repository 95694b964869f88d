#pragma once

#include <ctime>
#include <string>

namespace velto::server {

// The server's time stamps: local time as "YYYY-MM-DD HH:MM:SS", which sorts as text.
std::string NowText();

// Whether an end of validity has passed. Only the digits of the end count, compared with the
// same number of leading digits of the present time (YYYYMMDDHHMMSS), so "2024-12-31" stays
// valid through that whole day. An end without digits never passes. `now` is the present.
bool HasPassed(const std::string& end_time, std::time_t now = std::time(nullptr));

}  // namespace velto::server
