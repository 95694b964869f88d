#include "worker_pool.h"

namespace velto::server {

WorkerPool::~WorkerPool() {
  shutdown();
}

void WorkerPool::enqueue(std::function<void()> job) {
  std::lock_guard lock(mutex_);
  jobs_.push_back(std::move(job));
  // Idle threads that were woken but have not taken a job yet count for the jobs waiting.
  if (jobs_.size() > idle_ && threads_.size() < max_threads_) {
    threads_.emplace_back([this] { Work(); });
  }
  job_ready_.notify_one();
}

void WorkerPool::shutdown() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  job_ready_.notify_all();
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void WorkerPool::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    ++idle_;
    job_ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    --idle_;
    if (jobs_.empty()) return;  // stopping, and nothing left to do
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    job();
    lock.lock();
  }
}

}  // namespace velto::server
