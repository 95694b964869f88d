#pragma once

#include <string>

namespace velto::server {

// A new record id: 128 random bits in URL-safe base64 without padding (22 characters).
std::string NewId();

// A new card number: 16 decimal digits from the cryptographic random source.
std::string NewCardNumber();

// Fills the buffer from OpenSSL's random source; throws when it cannot.
void RandomBytes(unsigned char* buffer, int size);

}  // namespace velto::server
