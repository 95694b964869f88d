#include <cstdlib>
#include <cstring>
#include <new>

#include "velto/bstr.h"

// The COM layout: a 32-bit byte length, the code units, a 16-bit zero. The BSTR points
// at the first code unit.
namespace velto {
namespace {

constexpr size_t kPrefix = sizeof(uint32_t);

char* Block(BSTR text) {
  return reinterpret_cast<char*>(text) - kPrefix;
}

}  // namespace

BSTR AllocBstr(std::u16string_view text) {
  const size_t bytes = text.size() * sizeof(char16_t);
  if (bytes > UINT32_MAX - kPrefix - sizeof(char16_t)) throw std::bad_alloc();
  char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(char16_t)));
  if (block == nullptr) throw std::bad_alloc();
  const auto length = static_cast<uint32_t>(bytes);
  std::memcpy(block, &length, kPrefix);
  auto* units = reinterpret_cast<char16_t*>(block + kPrefix);
  if (!text.empty()) std::memcpy(units, text.data(), bytes);
  units[text.size()] = u'\0';
  return units;
}

void FreeBstr(BSTR text) {
  if (text != nullptr) std::free(Block(text));
}

uint32_t BstrLength(BSTR text) {
  if (text == nullptr) return 0;
  uint32_t bytes;
  std::memcpy(&bytes, Block(text), kPrefix);
  return bytes / sizeof(char16_t);
}

}  // namespace velto
