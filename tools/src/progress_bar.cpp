#include "progress_bar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace velto::cli {
namespace {

constexpr int kBarWidth = 20;
// Beyond this an estimate says nothing (and would not fit the integer it is rounded to).
constexpr double kLongestEta = 10000.0 * 3600;

std::string Printed(const char* format, auto... values) {
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), format, values...);
  return text.data();
}

// m:ss, or h:mm:ss from an hour on.
std::string Duration(double seconds) {
  const auto whole = static_cast<int64_t>(std::llround(seconds));
  const int64_t hours = whole / 3600, minutes = whole / 60 % 60, rest = whole % 60;
  if (hours > 0) {
    return Printed("%lld:%02lld:%02lld", static_cast<long long>(hours),
                   static_cast<long long>(minutes), static_cast<long long>(rest));
  }
  return Printed("%lld:%02lld", static_cast<long long>(minutes), static_cast<long long>(rest));
}

std::string Bar(double share) {
  const int filled = static_cast<int>(share * kBarWidth);
  return std::string("[").append(filled, '#').append(kBarWidth - filled, '.').append("]");
}

}  // namespace

std::string ByteCount(double bytes) {
  constexpr std::array<const char*, 4> kUnits = {"KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024) return Printed("%.0f B", bytes);
  size_t unit = 0;
  bytes /= 1024;
  while (bytes >= 1024 && unit + 1 < kUnits.size()) {
    bytes /= 1024;
    ++unit;
  }
  return Printed("%.1f %s", bytes, kUnits[unit]);
}

std::string RenderProgress(const TransferState& state) {
  const double rate = state.seconds > 0 ? static_cast<double>(state.done) / state.seconds : 0;
  const std::string speed = rate > 0 ? ByteCount(rate) + "/s" : "--/s";
  const std::string direction = state.sending ? "sending  " : "receiving";
  if (state.total <= 0) return direction + "  " + ByteCount(state.done) + "  " + speed;

  const double share = std::clamp(static_cast<double>(state.done) / state.total, 0.0, 1.0);
  const int64_t left = std::max<int64_t>(state.total - state.done, 0);
  const double seconds_left = rate > 0 ? static_cast<double>(left) / rate : kLongestEta;
  const std::string eta = left == 0                    ? "0:00"
                          : seconds_left < kLongestEta ? Duration(seconds_left)
                                                       : "--:--";
  return direction + " " + Bar(share) + " " + Printed("%3d%%", static_cast<int>(share * 100)) +
         "  " + ByteCount(state.done) + " of " + ByteCount(state.total) + "  " + speed + "  ETA " +
         eta;
}

}  // namespace velto::cli
