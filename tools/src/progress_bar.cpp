#include "progress_bar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

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

std::string Bar(double share, int width) {
  const int filled = static_cast<int>(share * width);
  return std::string("[").append(filled, '#').append(width - filled, '.').append("]");
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

std::string RenderProgress(const TransferState& state, size_t columns) {
  const double rate = state.seconds > 0 ? static_cast<double>(state.done) / state.seconds : 0;
  const std::string speed = rate > 0 ? ByteCount(rate) + "/s" : "--/s";
  const std::string direction = state.sending ? "sending  " : "receiving";
  // The fields from the most to the least wanted; the longest that fits is drawn.
  std::vector<std::string> lines;
  if (state.total <= 0) {
    lines = {direction + "  " + ByteCount(state.done) + "  " + speed,
             direction + "  " + ByteCount(state.done)};
  } else {
    const double share = std::clamp(static_cast<double>(state.done) / state.total, 0.0, 1.0);
    const int64_t left = std::max<int64_t>(state.total - state.done, 0);
    const double seconds_left = rate > 0 ? static_cast<double>(left) / rate : kLongestEta;
    const std::string eta = left == 0                    ? "0:00"
                            : seconds_left < kLongestEta ? Duration(seconds_left)
                                                         : "--:--";
    const std::string percent = Printed("%3d%%", static_cast<int>(share * 100));
    const std::string bytes = ByteCount(state.done) + " of " + ByteCount(state.total);
    const std::string without_bar = percent + "  " + bytes + "  " + speed + "  ETA " + eta;
    lines = {direction + " " + Bar(share, kBarWidth) + " " + without_bar,
             direction + " " + Bar(share, kBarWidth / 2) + " " + without_bar,
             direction + " " + without_bar,
             direction + " " + percent + "  " + bytes + "  " + speed,
             direction + " " + percent + "  " + bytes,
             direction + " " + percent + "  " + ByteCount(state.done)};
  }
  if (columns == 0) return lines.front();
  for (const std::string& line : lines) {
    if (line.size() < columns) return line;
  }
  return lines.back().substr(0, columns - 1);
}

}  // namespace velto::cli
