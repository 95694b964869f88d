#pragma once

#include <string>

namespace velto::server {

// The server's time stamps: local time as "YYYY-MM-DD HH:MM:SS", which sorts as text.
std::string NowText();

// Whether an end of validity has passed. Only the digits of the end count, compared with the
// same number of leading digits of the present time (YYYYMMDDHHMMSS), so "2024-12-31" stays
// valid through that whole day. An end without digits never passes.
bool HasPassed(const std::string& end_time);

}  // namespace velto::server
