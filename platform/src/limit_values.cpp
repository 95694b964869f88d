#include "velto/limit_values.h"

#include <charconv>
#include <limits>

namespace velto {
namespace {

// The whole text as a number; nothing for a sign, blanks or anything after the digits.
std::optional<uint64_t> WholeNumber(std::string_view text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return {};
  return value;
}

unsigned SuffixShift(char suffix) {
  switch (suffix) {
    case 'K':
    case 'k':
      return 10;
    case 'M':
    case 'm':
      return 20;
    case 'G':
    case 'g':
      return 30;
    default:
      return 0;
  }
}

}  // namespace

std::optional<uint64_t> ParseByteSize(std::string_view text) {
  const unsigned shift = text.empty() ? 0 : SuffixShift(text.back());
  if (shift != 0) text.remove_suffix(1);
  const std::optional<uint64_t> number = WholeNumber(text);
  if (!number || *number == 0 || *number > (std::numeric_limits<uint64_t>::max() >> shift)) {
    return {};
  }
  return *number << shift;
}

std::optional<std::chrono::seconds> ParseLimitSeconds(std::string_view text) {
  constexpr uint64_t kLongest = std::numeric_limits<int32_t>::max() / 1000;
  const std::optional<uint64_t> number = WholeNumber(text);
  if (!number || *number == 0 || *number > kLongest) return {};
  return std::chrono::seconds(*number);
}

}  // namespace velto
