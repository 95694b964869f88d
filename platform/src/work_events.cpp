#include "velto/work_events.h"

namespace velto {

void WorkEventsRef::Reset(IVeltoWorkEvents* events) {
  if (events != nullptr) events->lpVtbl->AddRef(events);
  IVeltoWorkEvents* previous = events_;
  events_ = events;
  if (previous != nullptr) previous->lpVtbl->Release(previous);
}

void WorkEventsRef::WorkBegin(int32_t mode, int64_t count_max) const {
  if (events_ != nullptr) events_->lpVtbl->WorkBegin(events_, mode, count_max);
}

void WorkEventsRef::Work(int32_t mode, int64_t count) const {
  if (events_ != nullptr) events_->lpVtbl->Work(events_, mode, count);
}

void WorkEventsRef::WorkEnd(int32_t mode) const {
  if (events_ != nullptr) events_->lpVtbl->WorkEnd(events_, mode);
}

}  // namespace velto
