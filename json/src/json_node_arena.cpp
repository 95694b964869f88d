#include "json_node_arena.h"

#include <mutex>
#include <new>
#include <vector>

namespace velto {

// The chunk a node was cut from (or nullptr) is kept just before the node.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr std::size_t kFirstCapacity = 64;
constexpr std::size_t kLargestCapacity = 16384;

constexpr std::size_t SlotSize(std::size_t size) {
  return kHeader + (size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                       alignof(std::max_align_t);
}

struct NodeChunk {
  // One per live node, plus one while a scope cuts from the chunk. A chunk's nodes all belong to
  // the one document its parse or copy made, and a document is used by one thread at a time, so
  // the count needs no atomic operations.
  std::size_t references = 1;
  std::size_t used = 0;
  std::size_t capacity;
  std::size_t slotSize;

  std::byte* Slots() { return reinterpret_cast<std::byte*>(this) + SlotSize(sizeof(NodeChunk)); }
};

namespace {

constinit thread_local NodeArenaScope* tScope = nullptr;

std::size_t ChunkBytes(std::size_t capacity, std::size_t slotSize) {
  return SlotSize(sizeof(NodeChunk)) + capacity * slotSize;
}

// Memory of released chunks, kept for the next parse or copy up to a bound: handing large blocks
// back to the system and taking them again costs a page fault for every page.
class SpareChunks {
 public:
  static SpareChunks& Instance() {
    static SpareChunks spares;
    return spares;
  }
  ~SpareChunks() {
    for (const Spare& spare : spares_) ::operator delete(spare.memory);
  }

  void* Take(std::size_t bytes) {
    const std::lock_guard lock(mutex_);
    for (auto it = spares_.begin(); it != spares_.end(); ++it) {
      if (it->bytes != bytes) continue;
      void* memory = it->memory;
      kept_ -= bytes;
      spares_.erase(it);
      return memory;
    }
    return nullptr;
  }
  // False when the memory was not kept and is the caller's to free.
  bool Keep(void* memory, std::size_t bytes) noexcept {
    const std::lock_guard lock(mutex_);
    if (kept_ + bytes > kMostKept || spares_.size() == spares_.capacity()) return false;
    spares_.push_back(Spare{memory, bytes});
    kept_ += bytes;
    return true;
  }

 private:
  static constexpr std::size_t kMostKept = 8 << 20;
  struct Spare {
    void* memory;
    std::size_t bytes;
  };
  SpareChunks() { spares_.reserve(64); }

  std::mutex mutex_;
  std::vector<Spare> spares_;
  std::size_t kept_ = 0;
};

NodeChunk* MakeChunk(std::size_t capacity, std::size_t slotSize) {
  const std::size_t bytes = ChunkBytes(capacity, slotSize);
  void* memory = SpareChunks::Instance().Take(bytes);
  if (!memory) memory = ::operator new(bytes);
  auto* chunk = ::new (memory) NodeChunk;
  chunk->capacity = capacity;
  chunk->slotSize = slotSize;
  return chunk;
}

void Release(NodeChunk* chunk) noexcept {
  if (--chunk->references != 0) return;
  const std::size_t bytes = ChunkBytes(chunk->capacity, chunk->slotSize);
  chunk->~NodeChunk();
  if (!SpareChunks::Instance().Keep(chunk, bytes)) ::operator delete(chunk);
}

void* AfterHeader(void* slot, NodeChunk* chunk) {
  *static_cast<NodeChunk**>(slot) = chunk;
  return static_cast<std::byte*>(slot) + kHeader;
}

}  // namespace

NodeArenaScope::NodeArenaScope() noexcept : nextCapacity_(kFirstCapacity), outer_(tScope) {
  tScope = this;
}

NodeArenaScope::~NodeArenaScope() {
  tScope = outer_;
  if (chunk_) Release(chunk_);
}

void* NodeArenaScope::Allocate(std::size_t size) {
  const std::size_t slotSize = SlotSize(size);
  if (!chunk_ || chunk_->used == chunk_->capacity || chunk_->slotSize != slotSize) {
    NodeChunk* fresh = MakeChunk(nextCapacity_, slotSize);
    if (chunk_) Release(chunk_);
    chunk_ = fresh;
    if (nextCapacity_ < kLargestCapacity) nextCapacity_ *= 2;
  }
  void* slot = chunk_->Slots() + chunk_->used++ * slotSize;
  ++chunk_->references;
  return AfterHeader(slot, chunk_);
}

void* AllocateNode(std::size_t size) {
  if (tScope) return tScope->Allocate(size);
  return AfterHeader(::operator new(SlotSize(size)), nullptr);
}

void FreeNode(void* node) noexcept {
  void* slot = static_cast<std::byte*>(node) - kHeader;
  if (NodeChunk* chunk = *static_cast<NodeChunk**>(slot)) {
    Release(chunk);
  } else {
    ::operator delete(slot);
  }
}

}  // namespace velto
