#pragma once

#include <cstddef>

#include "velto/json_blocks.h"

namespace velto {

struct NodeChunk;

// Parsing and copying make many small values, texts and lists at once; taking each from the
// general heap costs more than the rest of the work. While a NodeArenaScope is open on a thread,
// AllocateBlock cuts blocks from shared chunks instead. A chunk is released when its last block is
// freed and no scope cuts from it any more, so blocks keep their own lifetimes. Outside a scope
// blocks come from the heap one by one.
class NodeArenaScope {
 public:
  NodeArenaScope() noexcept;
  ~NodeArenaScope();
  NodeArenaScope(const NodeArenaScope&) = delete;
  NodeArenaScope& operator=(const NodeArenaScope&) = delete;

 private:
  friend void* AllocateBlock(std::size_t bytes);
  void* Allocate(std::size_t slotBytes);

  NodeChunk* chunk_ = nullptr;
  std::size_t nextCapacity_;
  NodeArenaScope* outer_;
};

// Frees the memory kept of released chunks. The keeper is never destroyed, so that values freed
// while statics are destroyed still find it; when the library is unloaded, what it keeps would
// be lost with it.
void ReleaseSpareChunks() noexcept;

}  // namespace velto
