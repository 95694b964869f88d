#include "velto/transfer_progress.h"

namespace velto {

void TransferProgress::Begin(int64_t count_max) {
  if (state_ != State::Idle) return;
  state_ = State::Running;
  if (sink_ != nullptr) sink_->WorkBegin(mode_, count_max);
}

void TransferProgress::Advance(uint64_t count) {
  if (state_ != State::Running || count == 0) return;
  moved_ += static_cast<int64_t>(count);
  if (sink_ != nullptr) sink_->Work(mode_, moved_);
}

void TransferProgress::End() {
  if (state_ != State::Running) return;
  state_ = State::Ended;
  if (sink_ != nullptr) sink_->WorkEnd(mode_);
}

void TransferProgress::Restart() {
  End();
  state_ = State::Idle;
  moved_ = 0;
}

}  // namespace velto
