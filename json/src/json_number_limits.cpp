#include "json_number_limits.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velto {
namespace {

// 2^1024 - 2^970, halfway between the largest double and 2^1024 (python3: 2**1024 - 2**970). A
// value from there up rounds to infinity; the tie too, as it goes to the even neighbour 2^1024.
constexpr std::u16string_view kOverflowDigits =
    u"17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797"
    u"75872070963302864166928879109465555478519404026306574886715058206819089020007083836762738548"
    u"45817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711"
    u"559699508093042880177904174497792";

// The halfway value lies between 10^308 and 10^309: its magnitude, as NumberWithinLimits counts it.
constexpr int64_t kOverflowMagnitude = static_cast<int64_t>(kOverflowDigits.size());

// An exponent beyond this is as good as infinite; capping it keeps the sums below from overflowing.
constexpr int64_t kExponentCap = int64_t{1} << 40;

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

// The exponent part after "e" or "E", capped in both directions.
int64_t ReadExponent(std::u16string_view text) {
  const bool negative = !text.empty() && text.front() == u'-';
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) text.remove_prefix(1);
  int64_t exponent = 0;
  for (const char16_t unit : text) {
    if (!IsDigit(unit)) break;
    exponent = std::min(exponent * 10 + (unit - u'0'), kExponentCap);
  }
  return negative ? -exponent : exponent;
}

}  // namespace

bool NumberWithinLimits(std::u16string_view number) {
  if (!number.empty() && number.front() == u'-') number.remove_prefix(1);
  const std::size_t exponentAt = std::min(number.find_first_of(u"eE"), number.size());
  const int64_t exponent = ReadExponent(number.substr(std::min(exponentAt + 1, number.size())));
  const std::u16string_view mantissa = number.substr(0, exponentAt);
  const std::size_t point = std::min(mantissa.find(u'.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of(u"123456789");
  if (first == std::u16string_view::npos) return true;  // zero, whatever the exponent

  // The value is 0.d1d2d3... times 10^magnitude, with d1 the first digit that is not zero.
  const int64_t magnitude = (first < point ? static_cast<int64_t>(point - first)
                                           : -static_cast<int64_t>(first - point - 1)) +
                            exponent;
  if (magnitude != kOverflowMagnitude) return magnitude < kOverflowMagnitude;
  // The same magnitude as the halfway value: compare the digits.
  std::size_t compared = 0;
  for (const char16_t unit : mantissa.substr(first)) {
    if (!IsDigit(unit)) continue;
    if (compared == kOverflowDigits.size()) break;
    if (unit != kOverflowDigits[compared]) return unit < kOverflowDigits[compared];
    ++compared;
  }
  // A shorter number that agrees so far lies below, as the halfway value ends in a digit that is
  // not zero; one that agrees in every digit is the tie or above it.
  return compared < kOverflowDigits.size();
}

}  // namespace velto
