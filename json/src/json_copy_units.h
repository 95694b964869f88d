#pragma once

#include <cstddef>
#include <cstring>

namespace velto {

// Copies `count` code units. Texts in documents are mostly a few units long, where a call to the
// general copy costs more than the copy: up to 16 units go as two overlapping fixed-size moves.
inline void CopyUnits(char16_t* to, const char16_t* from, std::size_t count) {
  const auto pair = [&]<std::size_t kUnits>() {
    std::memcpy(to, from, kUnits * sizeof(char16_t));
    std::memcpy(to + count - kUnits, from + count - kUnits, kUnits * sizeof(char16_t));
  };
  if (count > 16) {
    std::memcpy(to, from, count * sizeof(char16_t));
  } else if (count >= 8) {
    pair.template operator()<8>();
  } else if (count >= 4) {
    pair.template operator()<4>();
  } else if (count >= 2) {
    pair.template operator()<2>();
  } else if (count == 1) {
    *to = *from;
  }
}

}  // namespace velto
