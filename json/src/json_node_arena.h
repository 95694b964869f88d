#pragma once

#include <cstddef>

namespace velto {

struct NodeChunk;

// Parsing and copying make many small values at once; taking each from the general heap costs more
// than the rest of the work. While a NodeArenaScope is open on a thread, the values made there are
// cut from shared chunks instead. A chunk is released when its last value is destroyed and no scope
// cuts from it any more, so values keep their own lifetimes. Outside a scope values come from the
// heap one by one.
class NodeArenaScope {
 public:
  NodeArenaScope() noexcept;
  ~NodeArenaScope();
  NodeArenaScope(const NodeArenaScope&) = delete;
  NodeArenaScope& operator=(const NodeArenaScope&) = delete;

 private:
  friend void* AllocateNode(std::size_t size);
  void* Allocate(std::size_t size);

  NodeChunk* chunk_ = nullptr;
  std::size_t nextCapacity_;
  NodeArenaScope* outer_;
};

void* AllocateNode(std::size_t size);
void FreeNode(void* node) noexcept;

}  // namespace velto
