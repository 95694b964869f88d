#include "password.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <charconv>
#include <stdexcept>
#include <vector>

#include "ids.h"

namespace velto::server {
namespace {

constexpr int kIterations = 100000;
constexpr int kSaltSize = 16;
constexpr int kHashSize = 32;
constexpr std::string_view kScheme = "pbkdf2-sha256";

std::vector<unsigned char> Derive(const std::string& password,
                                  const std::vector<unsigned char>& salt, int iterations) {
  std::vector<unsigned char> hash(kHashSize);
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                        static_cast<int>(salt.size()), iterations, EVP_sha256(), kHashSize,
                        hash.data()) != 1) {
    throw std::runtime_error("PBKDF2 failed");
  }
  return hash;
}

std::string ToHex(const std::vector<unsigned char>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

bool FromHex(std::string_view text, std::vector<unsigned char>& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (result.ec != std::errc() || result.ptr != text.data() + i + 2) return false;
    bytes.push_back(static_cast<unsigned char>(value));
  }
  return true;
}

}  // namespace

std::string HashPassword(const std::string& password) {
  std::vector<unsigned char> salt(kSaltSize);
  RandomBytes(salt.data(), kSaltSize);
  return std::string(kScheme) + "$" + std::to_string(kIterations) + "$" + ToHex(salt) + "$" +
         ToHex(Derive(password, salt, kIterations));
}

bool VerifyPassword(const std::string& password, const std::string& stored) {
  const std::string_view text = stored;
  const size_t first = text.find('$');
  const size_t second = text.find('$', first + 1);
  const size_t third = text.find('$', second + 1);
  if (first == std::string_view::npos || second == std::string_view::npos ||
      third == std::string_view::npos || text.substr(0, first) != kScheme) {
    return false;
  }
  int iterations = 0;
  const std::string_view count = text.substr(first + 1, second - first - 1);
  if (std::from_chars(count.data(), count.data() + count.size(), iterations).ec != std::errc() ||
      iterations <= 0) {
    return false;
  }
  std::vector<unsigned char> salt;
  std::vector<unsigned char> expected;
  if (!FromHex(text.substr(second + 1, third - second - 1), salt) ||
      !FromHex(text.substr(third + 1), expected) || expected.size() != kHashSize) {
    return false;
  }
  const auto actual = Derive(password, salt, iterations);
  return CRYPTO_memcmp(actual.data(), expected.data(), kHashSize) == 0;
}

bool VerifyUserPassword(const std::string& password, const std::string* stored) {
  static const std::string decoy = HashPassword(NewId());
  const bool usable = stored != nullptr && !stored->empty();
  return VerifyPassword(password, usable ? *stored : decoy) && usable;
}

}  // namespace velto::server
