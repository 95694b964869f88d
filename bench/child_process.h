#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velto::bench {

struct ChildRun {
  bool succeeded = false;  // exit status 0
  double seconds = 0;      // from spawn to exit
  double cpu_seconds = 0;  // user and system time of the child
  // The kernel's account of the child. It counts the pages this process held when it
  // spawned the child too (a spawned process starts as a copy of its parent).
  uint64_t peak_rss_kib = 0;
};

// Runs a program (looked up in PATH unless the name holds a "/") to its end.
ChildRun RunChild(const std::vector<std::string>& arguments);

}  // namespace velto::bench
