#pragma once

#include <functional>
#include <string>
#include <vector>

#include "velto_box.h"

namespace velto::test {

// A host's progress receiver: records every call as text ("begin 1 4", "work 1 4",
// "end 1") and counts references. `on_work` runs inside each Work call.
struct RecordingEvents {
  IVeltoWorkEvents com;
  std::vector<std::string> calls;
  ULONG references = 1;
  std::function<void()> on_work;

  RecordingEvents() : com{&kTable} {}

  static RecordingEvents& Self(IVeltoWorkEvents* events) {
    return *reinterpret_cast<RecordingEvents*>(events);
  }
  static HRESULT STDCALL QueryInterface(IVeltoWorkEvents*, const GUID*, void** object) {
    *object = nullptr;
    return static_cast<HRESULT>(0x80004002);  // E_NOINTERFACE
  }
  static ULONG STDCALL AddRef(IVeltoWorkEvents* events) { return ++Self(events).references; }
  static ULONG STDCALL Release(IVeltoWorkEvents* events) { return --Self(events).references; }
  static void STDCALL WorkBegin(IVeltoWorkEvents* events, int32_t mode, int64_t max) {
    Self(events).calls.push_back("begin " + std::to_string(mode) + " " + std::to_string(max));
  }
  static void STDCALL WorkEnd(IVeltoWorkEvents* events, int32_t mode) {
    Self(events).calls.push_back("end " + std::to_string(mode));
  }
  static void STDCALL Work(IVeltoWorkEvents* events, int32_t mode, int64_t count) {
    Self(events).calls.push_back("work " + std::to_string(mode) + " " + std::to_string(count));
    if (Self(events).on_work) Self(events).on_work();
  }

  static constexpr IVeltoWorkEventsVtbl kTable = {QueryInterface, AddRef,  Release,
                                                  WorkBegin,      WorkEnd, Work};
};

}  // namespace velto::test
