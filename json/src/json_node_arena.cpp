#include "json_node_arena.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <thread>
#include <type_traits>
#include <vector>

namespace velto {

// The chunk a block was cut from (or nullptr) is kept just before the block.
constexpr std::size_t kAlignment = 8;
constexpr std::size_t kHeader = kAlignment;
constexpr std::size_t kFirstCapacity = 4096;
constexpr std::size_t kLargestCapacity = 1024 * 1024;
// Larger blocks come from the heap even in a scope, so that a chunk wastes little at its end.
constexpr std::size_t kLargestCut = kLargestCapacity / 16;

static_assert(sizeof(void*) <= kHeader);

constexpr std::size_t SlotSize(std::size_t bytes) {
  return kHeader + (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

struct NodeChunk {
  // One per live block, plus one while a scope cuts from the chunk. A chunk's blocks all belong to
  // the one document its parse or copy made, and a document is used by one thread at a time, so
  // the count needs no atomic operations.
  std::size_t references = 1;
  std::size_t used = 0;
  std::size_t capacity;

  std::byte* Slots() { return reinterpret_cast<std::byte*>(this) + SlotSize(sizeof(NodeChunk)); }
};

namespace {

constinit thread_local NodeArenaScope* tScope = nullptr;

std::size_t ChunkBytes(std::size_t capacity) {
  return SlotSize(sizeof(NodeChunk)) + capacity;
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
  void FreeAll() noexcept {
    const std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count_; ++i) ::operator delete(spares_[i].memory);
    count_ = 0;
    kept_ = 0;
  }

 private:
  static constexpr std::size_t kMostKept = 16 << 20;
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

NodeChunk* MakeChunk(std::size_t capacity) {
  const std::size_t bytes = ChunkBytes(capacity);
  void* memory = gSpares.Take(bytes);
  if (!memory) memory = ::operator new(bytes);
  auto* chunk = ::new (memory) NodeChunk;
  chunk->capacity = capacity;
  return chunk;
}

void Release(NodeChunk* chunk) noexcept {
  if (--chunk->references != 0) return;
  const std::size_t bytes = ChunkBytes(chunk->capacity);
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

void* NodeArenaScope::Allocate(std::size_t slotBytes) {
  if (!chunk_ || chunk_->capacity - chunk_->used < slotBytes) {
    NodeChunk* fresh = MakeChunk(std::max(nextCapacity_, slotBytes));
    if (chunk_) Release(chunk_);
    chunk_ = fresh;
    if (nextCapacity_ < kLargestCapacity) nextCapacity_ *= 2;
  }
  void* slot = chunk_->Slots() + chunk_->used;
  chunk_->used += slotBytes;
  ++chunk_->references;
  return AfterHeader(slot, chunk_);
}

void ReleaseSpareChunks() noexcept {
  gSpares.FreeAll();
}

void* AllocateBlock(std::size_t bytes) {
  const std::size_t slotBytes = SlotSize(bytes);
  if (tScope && slotBytes <= kLargestCut) return tScope->Allocate(slotBytes);
  return AfterHeader(::operator new(slotBytes), nullptr);
}

void FreeBlock(void* block) noexcept {
  void* slot = static_cast<std::byte*>(block) - kHeader;
  if (NodeChunk* chunk = *static_cast<NodeChunk**>(slot)) {
    Release(chunk);
  } else {
    ::operator delete(slot);
  }
}

}  // namespace velto
