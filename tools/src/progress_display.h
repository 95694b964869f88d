#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "progress_bar.h"
#include "velto_box.h"

namespace velto::cli {

// The library's progress receiver (IVeltoWorkEvents), drawing the progress bar on the
// terminal of standard error. A transfer shows once it has run for a moment, so that the
// many small requests of an operation never flicker on the screen; the bar is redrawn a few
// times a second and left on its own line when the transfer ends.
class ProgressDisplay {
 public:
  ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  IVeltoWorkEvents* Events() { return &com_.events; }

 private:
  using Clock = std::chrono::steady_clock;

  // What the library holds: the interface, and beside it the object it belongs to.
  struct Com {
    IVeltoWorkEvents events;
    ProgressDisplay* owner;
  };

  struct Transfer {
    TransferState state;
    Clock::time_point began;
  };

  static ProgressDisplay& Self(IVeltoWorkEvents* events);
  static HRESULT STDCALL QueryInterface(IVeltoWorkEvents* events, const GUID* iid, void** object);
  static ULONG STDCALL AddRef(IVeltoWorkEvents* events);
  static ULONG STDCALL Release(IVeltoWorkEvents* events);
  static void STDCALL WorkBegin(IVeltoWorkEvents* events, int32_t mode, int64_t count_max);
  static void STDCALL WorkEnd(IVeltoWorkEvents* events, int32_t mode);
  static void STDCALL Work(IVeltoWorkEvents* events, int32_t mode, int64_t count);

  Transfer& TransferOf(int32_t mode) { return transfers_[mode == 1 ? 1 : 0]; }
  void Draw(Transfer& transfer, bool last);

  Com com_;
  ULONG references_ = 1;
  std::array<Transfer, 2> transfers_{};
  Clock::time_point drawn_{};
  bool drawing_ = false;
  size_t shown_width_ = 0;
};

// The receiver registered with the library (VeltoWorkBegin) for this object's lifetime.
class ProgressRegistration {
 public:
  explicit ProgressRegistration(IVeltoWorkEvents* events) { VeltoWorkBegin(events); }
  ProgressRegistration(const ProgressRegistration&) = delete;
  ProgressRegistration& operator=(const ProgressRegistration&) = delete;
  ~ProgressRegistration() { VeltoWorkEnd(); }
};

}  // namespace velto::cli
