#pragma once

#include <cstdint>
#include <string>

namespace velto::bench {

// This process's own pages in KiB, from /proc/self/status: the high-water mark (VmHWM),
// which unlike the kernel's account of a finished child leaves out the pages of the
// process that spawned this one, and what it holds now (VmRSS).
uint64_t OwnPeakKib();
uint64_t OwnResidentKib();

// The figure in KiB a child wrote to `report`; 0 when there is none.
uint64_t ReadPeakReport(const std::string& report);

}  // namespace velto::bench
