#include "json_node_arena.h"

#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <thread>
#include <type_traits>
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

// Guards the spare chunks; taken only when a chunk is made or released, so it hardly ever waits.
// Unlike std::mutex everywhere, it needs no constructor or destructor to run.
class SpinLock {
 public:
  void lock() noexcept {
    while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  void unlock() noexcept { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_;
};

// Memory of released chunks, kept for the next parse or copy up to a bound: handing large blocks
// back to the system and taking them again costs a page fault for every page. The keeper has no
// destructor, so values released while the program's statics are destroyed still find it; what it
// keeps at exit stays reachable from it.
class SpareChunks {
 public:
  void* Take(std::size_t bytes) {
    const std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count_; ++i) {
      if (spares_[i].bytes != bytes) continue;
      void* memory = spares_[i].memory;
      kept_ -= bytes;
      spares_[i] = spares_[--count_];
      return memory;
    }
    return nullptr;
  }
  // False when the memory was not kept and is the caller's to free.
  bool Keep(void* memory, std::size_t bytes) noexcept {
    const std::lock_guard lock(mutex_);
    if (kept_ + bytes > kMostKept || count_ == spares_.size()) return false;
    spares_[count_++] = Spare{memory, bytes};
    kept_ += bytes;
    return true;
  }

 private:
  static constexpr std::size_t kMostKept = 8 << 20;
  struct Spare {
    void* memory;
    std::size_t bytes;
  };

  SpinLock mutex_;
  std::array<Spare, 32> spares_{};
  std::size_t count_ = 0;
  std::size_t kept_ = 0;
};

static_assert(std::is_trivially_destructible_v<SpareChunks>);
constinit SpareChunks gSpares;

NodeChunk* MakeChunk(std::size_t capacity, std::size_t slotSize) {
  const std::size_t bytes = ChunkBytes(capacity, slotSize);
  void* memory = gSpares.Take(bytes);
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
  if (!gSpares.Keep(chunk, bytes)) ::operator delete(chunk);
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
