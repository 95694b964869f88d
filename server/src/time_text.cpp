#include "time_text.h"

#include <ctime>

namespace velto::server {
namespace {

std::string Format(const char* pattern) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  const size_t size = std::strftime(text, sizeof text, pattern, &local);
  return std::string(text, size);
}

}  // namespace

std::string NowText() {
  return Format("%Y-%m-%d %H:%M:%S");
}

bool HasPassed(const std::string& end_time) {
  std::string digits;
  for (char c : end_time) {
    if (c >= '0' && c <= '9') digits += c;
  }
  if (digits.empty()) return false;
  const std::string now = Format("%Y%m%d%H%M%S");
  if (digits.size() > now.size()) digits.resize(now.size());
  return now.compare(0, digits.size(), digits) > 0;
}

}  // namespace velto::server
