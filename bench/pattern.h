#pragma once

#include <cstddef>
#include <string>

namespace velto::bench {

// The bytes every transfer moves: a 1 MiB block, repeated, that is neither all one value
// nor aligned to its own period, so a lost or repeated piece of a body shows.
inline constexpr size_t kPatternSize = 1 << 20;

inline std::string PatternBlock() {
  std::string block(kPatternSize, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + (i >> 12));
  return block;
}

}  // namespace velto::bench
