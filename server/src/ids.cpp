#include "ids.h"

#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <stdexcept>

#include "utf8.h"

namespace velto::server {

void RandomBytes(unsigned char* buffer, int size) {
  if (RAND_bytes(buffer, size) != 1) throw std::runtime_error("no random bytes available");
}

std::string NewId() {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::array<unsigned char, 16> bytes{};
  RandomBytes(bytes.data(), static_cast<int>(bytes.size()));
  std::string id;
  unsigned bits = 0;
  int count = 0;
  for (unsigned char byte : bytes) {
    bits = (bits << 8) | byte;
    count += 8;
    while (count >= 6) {
      count -= 6;
      id += kAlphabet[(bits >> count) & 0x3F];
    }
  }
  if (count > 0) id += kAlphabet[(bits << (6 - count)) & 0x3F];
  return id;
}

std::string NewCardNumber() {
  std::string number;
  while (number.size() < 16) {
    unsigned char byte = 0;
    RandomBytes(&byte, 1);
    // Rejecting 250..255 keeps every digit equally likely.
    if (byte < 250) number += static_cast<char>('0' + byte % 10);
  }
  return number;
}

void RequireAddressable(std::string_view id) {
  // Such an id could never be named in a path or a header again.
  if (std::any_of(id.begin(), id.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7f; })) {
    throw ReplyError(ReplyCode::kBadRequest, "Bad request: an id with a control character");
  }
  if (CharacterCount(id) > kMaxIdLength) {
    throw ReplyError(ReplyCode::kBadRequest, "Bad request: an id longer than " +
                                                 std::to_string(kMaxIdLength) + " characters");
  }
}

void RequireAddressableIds(const Fields& body) {
  for (const auto& [name, value] : body) {
    const std::string_view member = name;
    if (member == "id" || member == "cmid" || member.ends_with("Id")) RequireAddressable(value);
  }
}

}  // namespace velto::server
