#include "velto/host_failure.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <new>

#include "velto/thread_end.h"

namespace velto {
namespace {

// Made when the library is loaded, so that keeping it needs no memory later.
const std::u16string kOutOfMemory(kOutOfMemoryMessage);

// One message per live thread, in a process-wide table rather than in thread_local storage:
// on Windows each thread that touches a thread_local with a destructor takes a reference on
// the DLL until it ends, so a host's FreeLibrary could never unload the library. A thread's
// entry goes when the thread ends, as thread ids are given out again.
class FailureTable {
 public:
  const std::u16string& Keep(uint64_t thread, std::u16string_view message) noexcept {
    std::lock_guard lock(mutex_);
    Unmark(thread);
    try {
      std::u16string& kept = by_thread_[thread];
      try {
        kept.assign(message);
        return kept;
      } catch (const std::bad_alloc&) {
        by_thread_.erase(thread);
      }
    } catch (const std::bad_alloc&) {
    }
    Mark(thread);
    return kOutOfMemory;
  }

  std::u16string Last(uint64_t thread) {
    std::lock_guard lock(mutex_);
    const auto found = by_thread_.find(thread);
    if (found != by_thread_.end()) return found->second;
    return Marked(thread) ? kOutOfMemory : std::u16string();
  }

  void Clear(uint64_t thread) noexcept {
    std::lock_guard lock(mutex_);
    by_thread_.erase(thread);
    Unmark(thread);
  }

 private:
  // Threads whose message found no memory: a fixed table, so marking one needs none. When
  // more threads than it holds run out at once, the oldest mark gives way.
  static constexpr uint64_t kNone = 0;
  bool Marked(uint64_t thread) const {
    return std::find(out_of_memory_.begin(), out_of_memory_.end(), thread) != out_of_memory_.end();
  }
  void Mark(uint64_t thread) {
    out_of_memory_[next_mark_] = thread;
    next_mark_ = (next_mark_ + 1) % out_of_memory_.size();
  }
  void Unmark(uint64_t thread) {
    std::replace(out_of_memory_.begin(), out_of_memory_.end(), thread, kNone);
  }

  std::mutex mutex_;
  std::map<uint64_t, std::u16string> by_thread_;
  std::array<uint64_t, 16> out_of_memory_{};
  size_t next_mark_ = 0;
};

FailureTable& Failures() {
  static FailureTable table;
  return table;
}

}  // namespace

const std::u16string& KeepHostFailure(std::u16string_view message) noexcept {
  ClearHostFailureAtThreadEnd();
  return Failures().Keep(CurrentThreadTag(), message);
}

std::u16string LastHostFailure() {
  return Failures().Last(CurrentThreadTag());
}

void ClearHostFailure() noexcept {
  Failures().Clear(CurrentThreadTag());
}

}  // namespace velto
