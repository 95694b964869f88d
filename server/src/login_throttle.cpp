#include "login_throttle.h"

#include <algorithm>

namespace velto::server {
namespace {

constexpr size_t kForgetAbove = 10000;  // sources kept before old ones are dropped

}  // namespace

LoginThrottle::LoginThrottle(Policy policy, Clock clock)
    : policy_(policy), clock_(std::move(clock)) {}

std::chrono::milliseconds LoginThrottle::WaitFor(const std::string& source) {
  std::lock_guard lock(mutex_);
  const auto found = sources_.find(source);
  if (found == sources_.end()) return {};
  const auto left = found->second.next_try - clock_();
  return std::max(std::chrono::ceil<std::chrono::milliseconds>(left), std::chrono::milliseconds());
}

void LoginThrottle::Failed(const std::string& source) {
  std::lock_guard lock(mutex_);
  const auto now = clock_();
  if (sources_.size() >= kForgetAbove) ForgetOld(now);
  Record& record = sources_[source];
  ++record.failures;
  const int over = record.failures - policy_.free_failures + 1;
  if (over <= 0) return;
  // Doubling stops well before it could overflow: the longest wait caps it anyway.
  const std::chrono::milliseconds wait = policy_.first_wait * (1LL << std::min(over - 1, 30));
  record.next_try = now + std::min(wait, policy_.longest_wait);
}

void LoginThrottle::Succeeded(const std::string& source) {
  std::lock_guard lock(mutex_);
  sources_.erase(source);
}

void LoginThrottle::ForgetOld(std::chrono::steady_clock::time_point now) {
  std::erase_if(sources_, [&](const auto& entry) {
    return entry.second.next_try + policy_.longest_wait < now;
  });
}

}  // namespace velto::server
