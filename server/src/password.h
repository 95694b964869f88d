#pragma once

#include <string>

namespace velto::server {

// A salted PBKDF2-HMAC-SHA256 hash, "pbkdf2-sha256$ITERATIONS$SALT$HASH" (hex).
std::string HashPassword(const std::string& password);

// Compares in constant time; false for a malformed stored hash.
bool VerifyPassword(const std::string& password, const std::string& stored);

}  // namespace velto::server
