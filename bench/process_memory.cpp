#include "process_memory.h"

#include <fstream>
#include <string>
#include <string_view>

namespace velto::bench {
namespace {

uint64_t StatusKib(std::string_view field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field)) return std::stoull(line.substr(field.size()));
  }
  return 0;
}

}  // namespace

uint64_t OwnPeakKib() {
  return StatusKib("VmHWM:");
}

uint64_t OwnResidentKib() {
  return StatusKib("VmRSS:");
}

uint64_t ReadPeakReport(const std::string& report) {
  uint64_t kib = 0;
  std::ifstream(report) >> kib;
  return kib;
}

}  // namespace velto::bench
