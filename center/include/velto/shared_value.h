#pragma once

#include <mutex>
#include <utility>

namespace velto {

// A process-wide setting that exports on several host threads read and write at once: a
// read takes a copy and a write replaces the whole value, each under a lock held only for
// the copy, so no reader sees a value half written. No request is ever waited for.
template <typename T>
class SharedValue {
 public:
  SharedValue() = default;
  explicit SharedValue(T value) : value_(std::move(value)) {}
  SharedValue(const SharedValue&) = delete;
  SharedValue& operator=(const SharedValue&) = delete;

  T Get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }

  // The value replaced is freed after the lock is let go.
  void Set(T value) {
    std::lock_guard lock(mutex_);
    std::swap(value_, value);
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};

}  // namespace velto
