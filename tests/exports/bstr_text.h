#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "velto_box.h"

namespace velto::test {

// The text of a BSTR, read from its length prefix as a host without oleaut32 reads it.
inline std::u16string TextOf(BSTR text) {
  if (text == nullptr) return {};
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(bytes), sizeof(bytes));
  return std::u16string(reinterpret_cast<const char16_t*>(text), bytes / sizeof(char16_t));
}

}  // namespace velto::test
