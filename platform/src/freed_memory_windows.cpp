#include "velto/freed_memory.h"

namespace velto {

// The process heap gives blocks this large their own pages and releases them when they are
// freed.
void ReturnFreedMemory(std::size_t) noexcept {}

}  // namespace velto
