#pragma once

#include <filesystem>

namespace velto::cli {

// While it lives, an interrupt (SIGINT or SIGTERM; Ctrl-C, Ctrl-Break or closing the
// console on Windows) removes the file and ends velto with 128 + the signal's number (130
// for Ctrl-C), so that a stopped download leaves nothing behind.
class InterruptCleanup {
 public:
  explicit InterruptCleanup(const std::filesystem::path& file);
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;
  ~InterruptCleanup();
};

}  // namespace velto::cli
