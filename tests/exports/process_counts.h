#pragma once

// What a process holds, as a host that loads and unloads the library watches it: its open
// handles (file descriptors on Linux) and its own memory (private bytes on Windows,
// resident pages on Linux; under AddressSanitizer, whose quarantine and shadow pages keep
// resident memory growing, the heap bytes in use).

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <psapi.h>
#else
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <cstddef>
// The sanitizer runtime's own count; GCC installs no header that declares it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <filesystem>
#include <fstream>
#endif

namespace velto::test {

struct ProcessCounts {
  int64_t handles = 0;
  int64_t memory_bytes = 0;
  int64_t working_set_bytes = 0;  // Windows
};

inline ProcessCounts CountProcess() {
  ProcessCounts counts;
#ifdef _WIN32
  DWORD handles = 0;
  counts.handles = GetProcessHandleCount(GetCurrentProcess(), &handles) ? handles : -1;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  counts.memory_bytes =
      GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory))
          ? static_cast<int64_t>(memory.PrivateUsage)
          : -1;
  counts.working_set_bytes = static_cast<int64_t>(memory.WorkingSetSize);
#else
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    static_cast<void>(entry);
    ++counts.handles;
  }
#if defined(__SANITIZE_ADDRESS__)
  counts.memory_bytes = static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
  int64_t size = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> size >> resident;
  counts.memory_bytes = resident * sysconf(_SC_PAGESIZE);
#endif
#endif
  return counts;
}

}  // namespace velto::test
