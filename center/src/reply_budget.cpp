#include "velto/reply_budget.h"

#include <algorithm>
#include <string>

#include "velto/unicode.h"

namespace velto {
namespace {

std::u16string Number(uint64_t value) {
  return Utf8ToUtf16(std::to_string(value));
}

[[noreturn]] void FailSize(uint64_t limit) {
  throw TransportError(u"The reply is larger than " + Number(limit) +
                       u" bytes, the limit that MaxReplySize sets");
}

}  // namespace

bool ReplyHasBody(int status) {
  return status >= 200 && status != 204 && status != 304;
}

ReplyBudget::ReplyBudget(const TransportSettings& settings, bool download)
    : bounded_(!download),
      max_size_(settings.max_reply_size),
      timeout_(settings.reply_timeout),
      deadline_(Clock::now() + settings.reply_timeout) {}

void ReplyBudget::CheckAnnounced(int status, int64_t length) const {
  if (bounded_ && ReplyHasBody(status) && length > 0 && static_cast<uint64_t>(length) > max_size_) {
    FailSize(max_size_);
  }
}

void ReplyBudget::Take(uint64_t bytes) {
  if (!bounded_) return;
  if (bytes > max_size_ - taken_) FailSize(max_size_);
  taken_ += bytes;
}

std::chrono::milliseconds ReplyBudget::LimitWait(std::chrono::milliseconds own) {
  if (!bounded_) return own;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now());
  wait_cut_ = left < own;
  return wait_cut_ ? std::max(left, std::chrono::milliseconds{1}) : own;
}

bool ReplyBudget::Expired(std::chrono::milliseconds slack) const {
  return bounded_ && Clock::now() + slack >= deadline_;
}

bool ReplyBudget::EndedWait() const {
  return bounded_ && (wait_cut_ || Expired());
}

void ReplyBudget::CheckTime() const {
  if (Expired()) FailTime();
}

void ReplyBudget::FailTime() const {
  throw TransportError(u"The reply did not end within " +
                       Number(static_cast<uint64_t>(timeout_.count())) +
                       u" seconds, the limit that ReplyTimeout sets");
}

}  // namespace velto
