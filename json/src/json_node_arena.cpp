#include "json_node_arena.h"

#include <atomic>
#include <new>

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
  // One per live node, plus one while a scope cuts from the chunk. Atomic because a document may
  // be handed to another thread and destroyed there.
  std::atomic<std::size_t> references{1};
  std::size_t used = 0;
  std::size_t capacity;
  std::size_t slotSize;

  std::byte* Slots() { return reinterpret_cast<std::byte*>(this) + SlotSize(sizeof(NodeChunk)); }
};

namespace {

constinit thread_local NodeArenaScope* tScope = nullptr;

NodeChunk* MakeChunk(std::size_t capacity, std::size_t slotSize) {
  void* memory = ::operator new(SlotSize(sizeof(NodeChunk)) + capacity * slotSize);
  auto* chunk = ::new (memory) NodeChunk;
  chunk->capacity = capacity;
  chunk->slotSize = slotSize;
  return chunk;
}

void Release(NodeChunk* chunk) noexcept {
  if (chunk->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    chunk->~NodeChunk();
    ::operator delete(chunk);
  }
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
  chunk_->references.fetch_add(1, std::memory_order_relaxed);
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
