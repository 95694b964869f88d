#pragma once

#include <cstddef>

namespace velto {

// Blocks from this size on are worth handing back to the system at once.
inline constexpr std::size_t kLargeBlock = std::size_t{1} << 20;

// After a large text or document is freed: gives the allocator's free pages back to the
// system. A heap may otherwise keep them while the next, slightly larger form of the same
// reply comes from fresh memory, and the forms of one reply add up. Does nothing for fewer
// than kLargeBlock bytes.
void ReturnFreedMemory(std::size_t freed_bytes) noexcept;

// Returns freed memory when it goes out of scope: declared before what frees a large block
// on the way out, it runs after that. Reads the size then, so it may be learnt on the way.
class ReturnFreedMemoryOnExit {
 public:
  explicit ReturnFreedMemoryOnExit(const std::size_t& freed_bytes) : freed_bytes_(freed_bytes) {}
  explicit ReturnFreedMemoryOnExit(std::size_t&&) = delete;
  ReturnFreedMemoryOnExit(const ReturnFreedMemoryOnExit&) = delete;
  ReturnFreedMemoryOnExit& operator=(const ReturnFreedMemoryOnExit&) = delete;
  ~ReturnFreedMemoryOnExit() { ReturnFreedMemory(freed_bytes_); }

 private:
  const std::size_t& freed_bytes_;
};

}  // namespace velto
