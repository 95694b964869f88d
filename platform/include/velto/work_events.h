#pragma once

#include <cstdint>

#include "velto_box.h"

namespace velto {

// A counted reference on the host's progress receiver, or none. Every call into the
// receiver goes through CallHost.
class WorkEventsRef {
 public:
  WorkEventsRef() = default;
  WorkEventsRef(const WorkEventsRef&) = delete;
  WorkEventsRef& operator=(const WorkEventsRef&) = delete;
  ~WorkEventsRef();

  // Takes a reference on `events` (which may be null) and releases the one held before.
  void Reset(IVeltoWorkEvents* events);
  IVeltoWorkEvents* Get() const { return events_; }

  // Each passes the report on when a receiver is held and does nothing otherwise.
  void WorkBegin(int32_t mode, int64_t count_max) const;
  void Work(int32_t mode, int64_t count) const;
  void WorkEnd(int32_t mode) const;

 private:
  IVeltoWorkEvents* events_ = nullptr;
};

}  // namespace velto
