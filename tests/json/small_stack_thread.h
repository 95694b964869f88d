#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace velto::testing {

namespace detail {

struct StackJob {
  const std::function<void()>* work;
  std::exception_ptr failure;

  void Run() noexcept {
    try {
      (*work)();
    } catch (...) {
      failure = std::current_exception();
    }
  }
};

#ifdef _WIN32
inline DWORD WINAPI RunStackJob(LPVOID job) {
  static_cast<StackJob*>(job)->Run();
  return 0;
}
#else
inline void* RunStackJob(void* job) {
  static_cast<StackJob*>(job)->Run();
  return nullptr;
}
#endif

}  // namespace detail

// Runs `work` on a new thread whose stack is `stackBytes` and waits for it; an exception thrown by
// `work` is rethrown here. A stack overflow on that thread ends the whole test program.
inline void RunWithStack(size_t stackBytes, const std::function<void()>& work) {
  detail::StackJob job{&work, nullptr};
#ifdef _WIN32
  HANDLE thread = CreateThread(nullptr, stackBytes, &detail::RunStackJob, &job,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr) throw std::runtime_error("CreateThread failed");
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
#else
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_t thread;
  const int created = pthread_create(&thread, &attributes, &detail::RunStackJob, &job);
  pthread_attr_destroy(&attributes);
  if (created != 0) throw std::runtime_error("pthread_create failed");
  pthread_join(thread, nullptr);
#endif
  if (job.failure) std::rethrow_exception(job.failure);
}

}  // namespace velto::testing
