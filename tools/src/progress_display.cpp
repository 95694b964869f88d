#include "progress_display.h"

#include <algorithm>
#include <cstring>

#include "console.h"

namespace velto::cli {
namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(300);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kIidWorkEvents = VELTO_IID_IVELTOWORKEVENTS_INIT;

bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

}  // namespace

ProgressDisplay::ProgressDisplay() {
  static constexpr IVeltoWorkEventsVtbl kTable = {QueryInterface, AddRef,  Release,
                                                  WorkBegin,      WorkEnd, Work};
  com_ = {{&kTable}, this};
}

ProgressDisplay& ProgressDisplay::Self(IVeltoWorkEvents* events) {
  return *reinterpret_cast<Com*>(events)->owner;
}

HRESULT STDCALL ProgressDisplay::QueryInterface(IVeltoWorkEvents* events, const GUID* iid,
                                                void** object) {
  constexpr HRESULT kNoInterface = static_cast<HRESULT>(0x80004002);
  if (iid == nullptr || object == nullptr) return kNoInterface;
  if (!SameGuid(*iid, kIidUnknown) && !SameGuid(*iid, kIidWorkEvents)) {
    *object = nullptr;
    return kNoInterface;
  }
  AddRef(events);
  *object = events;
  return 0;
}

// The object lives on velto's stack for the whole run; the count only keeps COM's rules.
ULONG STDCALL ProgressDisplay::AddRef(IVeltoWorkEvents* events) {
  return ++Self(events).references_;
}

ULONG STDCALL ProgressDisplay::Release(IVeltoWorkEvents* events) {
  return --Self(events).references_;
}

void STDCALL ProgressDisplay::WorkBegin(IVeltoWorkEvents* events, int32_t mode, int64_t count_max) {
  Transfer& transfer = Self(events).TransferOf(mode);
  transfer = {{mode == 1, 0, count_max, 0}, Clock::now()};
}

void STDCALL ProgressDisplay::Work(IVeltoWorkEvents* events, int32_t mode, int64_t count) {
  ProgressDisplay& self = Self(events);
  Transfer& transfer = self.TransferOf(mode);
  transfer.state.done = count;
  const Clock::time_point now = Clock::now();
  if (now - transfer.began >= kShowAfter && now - self.drawn_ >= kRedrawEvery) {
    self.Draw(transfer, false);
  }
}

void STDCALL ProgressDisplay::WorkEnd(IVeltoWorkEvents* events, int32_t mode) {
  ProgressDisplay& self = Self(events);
  if (self.drawing_) self.Draw(self.TransferOf(mode), true);
}

void ProgressDisplay::Draw(Transfer& transfer, bool last) {
  const Clock::time_point now = Clock::now();
  transfer.state.seconds = std::chrono::duration<double>(now - transfer.began).count();
  // Asked at every redraw, so that the line follows a resized terminal.
  const size_t columns = ErrorTerminalColumns();
  std::string line = RenderProgress(transfer.state, columns);
  const size_t width = line.size();
  // Spaces wipe what a longer line before left behind, short of the last column.
  const size_t wiped = columns == 0 ? shown_width_ : std::min(shown_width_, columns - 1);
  if (width < wiped) line.append(wiped - width, ' ');
  WriteError("\r" + line + (last ? "\n" : ""));
  drawn_ = now;
  drawing_ = !last;
  shown_width_ = last ? 0 : width;
}

}  // namespace velto::cli
