#pragma once

#include <cstddef>

namespace velto {

// Memory for a document's values, texts and lists. While a parse or a copy runs on this thread,
// blocks are cut from that document's shared chunks; otherwise each comes from the heap. A block
// keeps its own lifetime either way: free it with FreeBlock, from any document it has moved to.
// Blocks are aligned for pointers and 64-bit integers.
void* AllocateBlock(std::size_t bytes);
void FreeBlock(void* block) noexcept;

}  // namespace velto
