#pragma once

#include <cstdint>

#include "velto/host_call.h"
#include "velto/transport.h"

namespace velto {

// The progress of one direction of a request: WorkBegin once, Work after every move,
// WorkEnd once (also when the transfer fails half-way). A null sink makes it silent.
class TransferProgress {
 public:
  TransferProgress(ProgressSink* sink, WorkMode mode) : sink_(sink), mode_(mode) {}
  TransferProgress(const TransferProgress&) = delete;
  TransferProgress& operator=(const TransferProgress&) = delete;
  // A host exception raised by WorkEnd here stays kept for the export to raise again.
  ~TransferProgress() {
    RunHostCleanup([this] { End(); });
  }

  bool Begun() const { return state_ != State::Idle; }
  void Begin(int64_t count_max);
  // Adds `count` bytes to the total moved and reports the total.
  void Advance(uint64_t count);
  void End();
  // The transfer starts again from its first byte (a request sent once more): the report
  // running ends, and the next Begin starts a new one from zero.
  void Restart();

 private:
  enum class State { Idle, Running, Ended };
  ProgressSink* sink_;
  WorkMode mode_;
  State state_ = State::Idle;
  int64_t moved_ = 0;
};

}  // namespace velto
