#pragma once

#include <cstdint>
#include <string>

namespace velto::cli {

// Where one transfer stands.
struct TransferState {
  bool sending = false;  // writing the request (an upload); else reading the reply
  int64_t done = 0;      // bytes moved so far
  int64_t total = 0;     // bytes expected; 0 or less when unknown
  double seconds = 0;    // since the transfer began
};

// One line of the progress bar, without a line end, shorter than `columns` so that it never
// wraps (0: no limit):
//   "sending   [#########...........]  45%  12.3 MiB of 27.3 MiB  4.1 MiB/s  ETA 0:04"
// With an unknown total the bar, the share and the ETA give way to the bytes and the rate.
// A narrower terminal halves the bar, then drops it, then the ETA, then the rate, then the
// total.
std::string RenderProgress(const TransferState& state, size_t columns = 0);

// A byte count for people: "512 B", "1.5 KiB", "12.3 MiB", "2.0 GiB".
std::string ByteCount(double bytes);

}  // namespace velto::cli
