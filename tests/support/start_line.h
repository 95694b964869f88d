#pragma once

#include <condition_variable>
#include <mutex>

namespace velto::test {

// Lets a set of threads start at the same moment. Not std::latch: the MinGW GCC 12
// library waits on an atomic by reading it and only then taking the lock it sleeps on,
// so a wake-up in between is lost and the waiting thread sleeps for good.
class StartLine {
 public:
  explicit StartLine(int threads) : missing_(threads) {}
  StartLine(const StartLine&) = delete;
  StartLine& operator=(const StartLine&) = delete;

  void ArriveAndWait() {
    std::unique_lock lock(mutex_);
    if (--missing_ == 0) {
      everyone_arrived_.notify_all();
      return;
    }
    everyone_arrived_.wait(lock, [this] { return missing_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable everyone_arrived_;
  int missing_;
};

}  // namespace velto::test
