#include "velto/work_events.h"

#include "velto/host_call.h"

namespace velto {

WorkEventsRef::~WorkEventsRef() {
  RunHostCleanup([this] { Reset(nullptr); });
}

void WorkEventsRef::Reset(IVeltoWorkEvents* events) {
  if (events != nullptr) CallHost([events] { events->lpVtbl->AddRef(events); });
  IVeltoWorkEvents* previous = events_;
  events_ = events;
  if (previous != nullptr) CallHost([previous] { previous->lpVtbl->Release(previous); });
}

void WorkEventsRef::WorkBegin(int32_t mode, int64_t count_max) const {
  if (events_ == nullptr) return;
  CallHost([&] { events_->lpVtbl->WorkBegin(events_, mode, count_max); });
}

void WorkEventsRef::Work(int32_t mode, int64_t count) const {
  if (events_ == nullptr) return;
  CallHost([&] { events_->lpVtbl->Work(events_, mode, count); });
}

void WorkEventsRef::WorkEnd(int32_t mode) const {
  if (events_ == nullptr) return;
  CallHost([&] { events_->lpVtbl->WorkEnd(events_, mode); });
}

}  // namespace velto
