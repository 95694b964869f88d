#include "time_text.h"

#include <ctime>

namespace velto::server {
namespace {

std::string Format(const char* pattern, std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  const size_t size = std::strftime(text, sizeof text, pattern, &local);
  return std::string(text, size);
}

}  // namespace

std::string NowText() {
  return Format("%Y-%m-%d %H:%M:%S", std::time(nullptr));
}

bool HasPassed(const std::string& end_time, std::time_t now) {
  std::string digits;
  for (char c : end_time) {
    if (c >= '0' && c <= '9') digits += c;
  }
  if (digits.empty()) return false;
  const std::string present = Format("%Y%m%d%H%M%S", now);
  if (digits.size() > present.size()) digits.resize(present.size());
  return present.compare(0, digits.size(), digits) > 0;
}

}  // namespace velto::server
