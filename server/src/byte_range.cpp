#include "byte_range.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

#include "ascii_text.h"

namespace velto::server {
namespace {

constexpr std::string_view kUnit = "bytes=";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Decimal digits only; a number beyond 64 bits is as good as infinite for a file.
std::optional<std::uint64_t> NumberOf(std::string_view digits) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint64_t number = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (result.ec == std::errc::result_out_of_range) return std::numeric_limits<std::uint64_t>::max();
  return number;
}

}  // namespace

ByteRange RangeOf(std::string_view range, std::uint64_t size) {
  if (range.size() < kUnit.size() || !EqualsIgnoringCase(range.substr(0, kUnit.size()), kUnit)) {
    return {};
  }
  const std::string_view bounds = Trimmed(range.substr(kUnit.size()));
  const size_t dash = bounds.find('-');
  if (bounds.find(',') != std::string_view::npos || dash == std::string_view::npos) return {};
  const std::string_view first_text = bounds.substr(0, dash);
  const std::optional<std::uint64_t> last = NumberOf(bounds.substr(dash + 1));
  const ByteRange unsatisfiable{ByteRange::Answer::kUnsatisfiable};
  if (first_text.empty()) {  // the last N bytes
    if (!last) return {};
    if (*last == 0 || size == 0) return unsatisfiable;
    return {ByteRange::Answer::kPart, size - std::min(*last, size), size - 1};
  }
  const std::optional<std::uint64_t> first = NumberOf(first_text);
  if (!first || (last && *last < *first) || (!last && dash + 1 != bounds.size())) return {};
  if (*first >= size) return unsatisfiable;
  return {ByteRange::Answer::kPart, *first, last ? std::min(*last, size - 1) : size - 1};
}

}  // namespace velto::server
