#include <pthread.h>

#include "velto/host_failure.h"
#include "velto/thread_end.h"

namespace velto {
namespace {

void OnThreadEnd(void*) {
  ClearHostFailure();
}

// A thread-specific key whose destructor runs as each thread that set it ends. Deleted when
// the library is unloaded, so no thread calls into unloaded code afterwards. Unlike a
// thread_local with a destructor, it does not keep the library loaded.
class ThreadEndKey {
 public:
  ThreadEndKey() : made_(pthread_key_create(&key_, OnThreadEnd) == 0) {}
  ThreadEndKey(const ThreadEndKey&) = delete;
  ThreadEndKey& operator=(const ThreadEndKey&) = delete;
  ~ThreadEndKey() {
    if (made_) pthread_key_delete(key_);
  }

  // Any value but null arms the destructor; without memory for it the thread goes unheard.
  void Arm() const noexcept {
    if (made_) pthread_setspecific(key_, &key_);
  }

 private:
  pthread_key_t key_{};
  bool made_;
};

}  // namespace

uint64_t CurrentThreadTag() {
  return static_cast<uint64_t>(pthread_self());
}

void ClearHostFailureAtThreadEnd() noexcept {
  static const ThreadEndKey key;
  key.Arm();
}

}  // namespace velto
