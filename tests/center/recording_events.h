#pragma once

#include <functional>
#include <string>
#include <vector>

#include "velto_box.h"

namespace velto::test {

// A host's progress receiver: records every call as text ("begin 1 4", "work 1 4",
// "end 1") and counts references. `on_call` runs inside each progress call, after it was
// recorded, with its text.
struct RecordingEvents {
  IVeltoWorkEvents com;
  std::vector<std::string> calls;
  ULONG references = 1;
  std::function<void(const std::string&)> on_call;

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
    Self(events).Record("begin " + std::to_string(mode) + " " + std::to_string(max));
  }
  static void STDCALL WorkEnd(IVeltoWorkEvents* events, int32_t mode) {
    Self(events).Record("end " + std::to_string(mode));
  }
  static void STDCALL Work(IVeltoWorkEvents* events, int32_t mode, int64_t count) {
    Self(events).Record("work " + std::to_string(mode) + " " + std::to_string(count));
  }
  void Record(std::string call) {
    calls.push_back(std::move(call));
    if (on_call) on_call(calls.back());
  }

  static constexpr IVeltoWorkEventsVtbl kTable = {QueryInterface, AddRef,  Release,
                                                  WorkBegin,      WorkEnd, Work};
};

}  // namespace velto::test
