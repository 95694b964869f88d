#pragma once

#include <chrono>
#include <cstdint>

#include "velto/transport.h"

namespace velto {

// Whether a reply of this status carries a body (not 1xx, 204 or 304).
bool ReplyHasBody(int status);

// What one exchange may still take of the host: body bytes and time. Both transports
// check it as the reply arrives and fail with TransportError naming the INI key that set
// the limit. A download's exchange is bound by neither.
class ReplyBudget {
 public:
  using Clock = std::chrono::steady_clock;

  ReplyBudget(const TransportSettings& settings, bool download);

  // An announced body length (none: negative) that would pass the limit fails at once,
  // before any of the body is read. `status` decides whether the reply has a body at all.
  void CheckAnnounced(int status, int64_t length) const;
  // Counts body bytes about to be taken in; fails when they pass the limit.
  void Take(uint64_t bytes);

  bool Bounded() const { return bounded_; }
  // For a transport that can only limit each wait: the limit of the next wait, which is
  // `own` or, when shorter, the time left (at least 1 ms).
  std::chrono::milliseconds LimitWait(std::chrono::milliseconds own);
  // The time is up, or will be within `slack`.
  bool Expired(std::chrono::milliseconds slack = std::chrono::milliseconds{0}) const;
  // For a wait that timed out: whether the time limit rather than the wait's own ended it
  // (the time is up, or the wait had been cut to the time left).
  bool EndedWait() const;
  void CheckTime() const;
  [[noreturn]] void FailTime() const;

 private:
  bool bounded_;
  uint64_t max_size_;
  std::chrono::seconds timeout_;
  Clock::time_point deadline_;
  uint64_t taken_ = 0;
  bool wait_cut_ = false;
};

}  // namespace velto
