#pragma once

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velto::server {

// The threads that serve connections, one connection each. A thread is started whenever a
// connection waits and none is free, up to `max_threads`; beyond that connections wait their
// turn. Started threads stay until the pool shuts down.
class WorkerPool : public httplib::TaskQueue {
 public:
  explicit WorkerPool(size_t max_threads) : max_threads_(max_threads) {}
  ~WorkerPool() override;

  void enqueue(std::function<void()> job) override;
  // Runs the jobs that wait, then joins every thread.
  void shutdown() override;

 private:
  void Work();

  const size_t max_threads_;
  std::mutex mutex_;
  std::condition_variable job_ready_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;
  bool stopping_ = false;
};

}  // namespace velto::server
