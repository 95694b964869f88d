#pragma once

#include <string>

namespace velto::server {

// A salted PBKDF2-HMAC-SHA256 hash, "pbkdf2-sha256$ITERATIONS$SALT$HASH" (hex).
std::string HashPassword(const std::string& password);

// Compares in constant time; false for a malformed stored hash.
bool VerifyPassword(const std::string& password, const std::string& stored);

// Checks a password against the stored hash of a user who may not exist or may have no
// password, doing the same work in every case, so that how long a refusal takes does not tell
// which users exist.
bool VerifyUserPassword(const std::string& password, const std::string* stored);

}  // namespace velto::server
