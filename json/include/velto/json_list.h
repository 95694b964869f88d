#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "velto/json_blocks.h"

namespace velto {

// The members or elements of a container in one block of the document's memory: parsed and copied
// containers get a block of exactly their size from the document's chunks; a list that grows later
// moves to a block of its own. The few vector operations the document model needs.
template <class T>
class JSONList {
 public:
  JSONList() = default;
  JSONList(JSONList&& other) noexcept
      : items_(std::exchange(other.items_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  JSONList& operator=(JSONList&& other) noexcept {
    JSONList taken(std::move(other));
    std::swap(items_, taken.items_);
    std::swap(size_, taken.size_);
    std::swap(capacity_, taken.capacity_);
    return *this;
  }
  ~JSONList() {
    clear();
    if (items_) FreeBlock(items_);
  }
  JSONList(const JSONList&) = delete;
  JSONList& operator=(const JSONList&) = delete;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* begin() { return items_; }
  T* end() { return items_ + size_; }
  const T* begin() const { return items_; }
  const T* end() const { return items_ + size_; }
  T& operator[](std::size_t index) { return items_[index]; }
  const T& operator[](std::size_t index) const { return items_[index]; }
  T& back() { return items_[size_ - 1]; }

  void reserve(std::size_t capacity) {
    if (capacity > capacity_) MoveTo(capacity);
  }
  void push_back(T&& item) {
    if (size_ == capacity_) MoveTo(std::max<std::size_t>(4, std::size_t{capacity_} * 2));
    ::new (static_cast<void*>(items_ + size_)) T(std::move(item));
    ++size_;
  }
  T* erase(T* at) {
    std::move(at + 1, end(), at);
    back().~T();
    --size_;
    return at;
  }
  void clear() noexcept {
    for (T& item : *this) item.~T();
    size_ = 0;
  }

 private:
  void MoveTo(std::size_t capacity) {
    T* fresh = static_cast<T*>(AllocateBlock(capacity * sizeof(T)));
    for (std::size_t i = 0; i < size_; ++i) {
      ::new (static_cast<void*>(fresh + i)) T(std::move(items_[i]));
      items_[i].~T();
    }
    if (items_) FreeBlock(items_);
    items_ = fresh;
    capacity_ = static_cast<uint32_t>(capacity);
  }

  T* items_ = nullptr;
  // A list of 2^32 items would not fit in memory anyway; the narrow counts keep values small.
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

}  // namespace velto
