#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace velto::server {

// Slows down the guessing of card numbers and passwords. Once `free_failures` log-ins in a row
// from one source address have failed, that source must wait before it may try again:
// `first_wait`, doubled with each further failure, at most `longest_wait`. A log-in that
// succeeds clears the count. Safe from any thread.
class LoginThrottle {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  struct Policy {
    int free_failures = 5;
    std::chrono::milliseconds first_wait{1000};
    std::chrono::milliseconds longest_wait{15 * 60 * 1000};
  };

  explicit LoginThrottle(Policy policy, Clock clock = &std::chrono::steady_clock::now);

  // How long the source must still wait before its next try; zero when it may try now.
  std::chrono::milliseconds WaitFor(const std::string& source);
  void Failed(const std::string& source);
  void Succeeded(const std::string& source);

 private:
  struct Record {
    int failures = 0;
    std::chrono::steady_clock::time_point next_try;
  };
  // Drops sources whose wait is long over, so that the table cannot grow without bound.
  void ForgetOld(std::chrono::steady_clock::time_point now);

  Policy policy_;
  Clock clock_;
  std::mutex mutex_;
  std::unordered_map<std::string, Record> sources_;
};

}  // namespace velto::server
