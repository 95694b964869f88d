#include "velto/local_time.h"

#include <chrono>
#include <ctime>

namespace velto {

LocalTime LocalTimeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  const auto since_second = now - std::chrono::system_clock::from_time_t(seconds);
  const auto millisecond =
      std::chrono::duration_cast<std::chrono::milliseconds>(since_second).count();
  return {local.tm_year + 1900,
          local.tm_mon + 1,
          local.tm_mday,
          local.tm_hour,
          local.tm_min,
          local.tm_sec,
          static_cast<int>(millisecond < 0 ? 0 : millisecond % 1000)};
}

}  // namespace velto
