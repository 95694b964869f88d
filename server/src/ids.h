#pragma once

#include <string>
#include <string_view>

#include "record_table.h"

namespace velto::server {

// Ids are path segments of their records' addresses; longer ones are refused.
inline constexpr std::size_t kMaxIdLength = 256;

// A new record id: 128 random bits in URL-safe base64 without padding (22 characters).
std::string NewId();

// A new card number: 16 decimal digits from the cryptographic random source.
std::string NewCardNumber();

// Fills the buffer from OpenSSL's random source; throws when it cannot.
void RandomBytes(unsigned char* buffer, int size);

// Refuses ("303") an id longer than kMaxIdLength characters.
void RequireAddressable(std::string_view id);
// The same for every member of a body that names a record: "id", "cmid" and "...Id".
void RequireAddressableIds(const Fields& body);

}  // namespace velto::server
