#include <signal.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstring>

#include "interrupt_cleanup.h"

namespace velto::cli {
namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM};

// Only what a signal handler may touch: a fixed buffer, set before the handler is installed.
std::array<char, PATH_MAX> removed_file{};
std::array<struct sigaction, kSignals.size()> previous{};

void RemoveAndExit(int signal_number) {
  unlink(removed_file.data());
  _exit(128 + signal_number);
}

}  // namespace

InterruptCleanup::InterruptCleanup(const std::filesystem::path& file) {
  const std::string& name = file.native();
  const size_t length = std::min(name.size(), removed_file.size() - 1);
  std::memcpy(removed_file.data(), name.data(), length);
  removed_file[length] = '\0';
  struct sigaction action {};
  action.sa_handler = RemoveAndExit;
  sigemptyset(&action.sa_mask);
  for (size_t at = 0; at < kSignals.size(); ++at) sigaction(kSignals[at], &action, &previous[at]);
}

InterruptCleanup::~InterruptCleanup() {
  for (size_t at = 0; at < kSignals.size(); ++at) sigaction(kSignals[at], &previous[at], nullptr);
}

}  // namespace velto::cli
