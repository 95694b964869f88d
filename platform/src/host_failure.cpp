#include "velto/host_failure.h"

#include <map>
#include <mutex>
#include <thread>

namespace velto {
namespace {

// One message per thread, in a process-wide table rather than in thread_local storage: on
// Windows each thread that touches a thread_local with a destructor takes a reference on
// the DLL until it ends, so a host's FreeLibrary could never unload the library.
struct FailureTable {
  std::mutex mutex;
  std::map<std::thread::id, std::u16string> by_thread;
};

FailureTable& Failures() {
  static FailureTable table;
  return table;
}

}  // namespace

const std::u16string& KeepHostFailure(std::u16string message) {
  FailureTable& table = Failures();
  std::lock_guard lock(table.mutex);
  std::u16string& slot = table.by_thread[std::this_thread::get_id()];
  slot = std::move(message);
  return slot;  // stays in place until this thread's next export call clears it
}

void ReportFailureToHost(std::u16string message) {
  RaiseToHost(KeepHostFailure(std::move(message)));
}

std::u16string LastHostFailure() {
  FailureTable& table = Failures();
  std::lock_guard lock(table.mutex);
  const auto found = table.by_thread.find(std::this_thread::get_id());
  return found == table.by_thread.end() ? std::u16string() : found->second;
}

void ClearHostFailure() {
  FailureTable& table = Failures();
  std::lock_guard lock(table.mutex);
  table.by_thread.erase(std::this_thread::get_id());
}

}  // namespace velto
