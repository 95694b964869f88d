#include "velto/host_failure.h"

#include <map>
#include <mutex>
#include <thread>

// Kept per thread in a shared map rather than in thread_local storage: a thread_local with
// a destructor pins the library in memory until the thread ends, so it could not unload.
namespace velto {
namespace {

struct Failures {
  std::mutex mutex;
  std::map<std::thread::id, std::u16string> by_thread;
};

Failures& AllFailures() {
  static Failures failures;
  return failures;
}

}  // namespace

void ReportFailureToHost(const std::u16string& message) {
  {
    Failures& failures = AllFailures();
    std::lock_guard lock(failures.mutex);
    failures.by_thread[std::this_thread::get_id()] = message;
  }
  RaiseToHost(message);
}

std::u16string LastHostFailure() {
  Failures& failures = AllFailures();
  std::lock_guard lock(failures.mutex);
  const auto found = failures.by_thread.find(std::this_thread::get_id());
  return found == failures.by_thread.end() ? std::u16string() : found->second;
}

void ClearHostFailure() {
  Failures& failures = AllFailures();
  std::lock_guard lock(failures.mutex);
  failures.by_thread.erase(std::this_thread::get_id());
}

}  // namespace velto
