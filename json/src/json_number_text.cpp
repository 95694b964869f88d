#include "json_number_text.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <system_error>

#include "json_number_limits.h"
#include "velto/json_exceptions.h"

namespace velto {
namespace {

constexpr int kSignificantDigits = 15;
constexpr size_t kLongIntegerLength = 12;

// Numbers are ASCII; any other code unit makes the characters unreadable.
std::optional<std::string> Narrow(std::u16string_view characters) {
  std::string out;
  out.reserve(characters.size());
  for (const char16_t unit : characters) {
    if (unit > 0x7F) return std::nullopt;
    out.push_back(static_cast<char>(unit));
  }
  return out;
}

std::u16string Widen(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

template <class T>
std::optional<T> ReadWhole(std::u16string_view characters) {
  const auto ascii = Narrow(characters);
  if (!ascii || ascii->empty()) return std::nullopt;
  T value{};
  const char* end = ascii->data() + ascii->size();
  const auto [ptr, ec] = std::from_chars(ascii->data(), end, value);
  if (ptr != end) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    // Out of range yet within the limits is below the smallest double: the value is 0.
    if (ec == std::errc::result_out_of_range && NumberWithinLimits(characters)) {
      return ascii->front() == '-' ? -T{0} : T{0};
    }
  }
  if (ec != std::errc()) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

[[noreturn]] void RaiseConvert(std::u16string_view characters, std::u16string_view what) {
  throw EConvertError(u"'" + std::u16string(characters) + u"' is not a valid " +
                      std::u16string(what));
}

}  // namespace

std::u16string FormatInteger(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(std::string_view(buffer, result.ptr));
}

std::u16string FormatFloat(double value) {
  if (value == 0) return u"0";
  // Rounded to 15 digits, the largest doubles would come out beyond the double range, where
  // the reader refuses them; they are written as the largest 15-digit number that reads back.
  constexpr double kLargestWritten = 1.79769313486231E308;
  if (std::fabs(value) > kLargestWritten) value = std::copysign(kLargestWritten, value);
  // d.dddddddddddddde[+-]x: exactly 15 significant digits, correctly rounded.
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view text(buffer, result.ptr);
  const bool negative = text.front() == '-';
  const size_t e = text.find('e');
  std::string digits;
  for (const char c : text.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
    if (c != '.') digits.push_back(c);
  }
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  const int integerDigits = exponent + 1;
  if (integerDigits > kSignificantDigits || integerDigits < -3) {
    out.push_back(digits.front());
    if (digits.size() > 1) out.append(".").append(digits, 1);
    out.append("E").append(std::to_string(exponent));
  } else if (integerDigits <= 0) {
    out.append("0.").append(static_cast<size_t>(-integerDigits), '0').append(digits);
  } else if (digits.size() <= static_cast<size_t>(integerDigits)) {
    out.append(digits).append(integerDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, integerDigits).append(".").append(digits, integerDigits);
  }
  return Widen(out);
}

std::u16string NumberTextForm(std::u16string_view characters) {
  if (characters.size() >= kLongIntegerLength && characters.find(u'.') == characters.npos) {
    if (const auto integer = ReadWhole<int64_t>(characters)) return FormatInteger(*integer);
  }
  if (const auto real = ReadWhole<double>(characters)) return FormatFloat(*real);
  return std::u16string(characters);
}

int32_t ParseInt32(std::u16string_view characters) {
  if (const auto value = ReadWhole<int32_t>(characters)) return *value;
  RaiseConvert(characters, u"integer value");
}

int64_t ParseInt64(std::u16string_view characters) {
  if (const auto value = ReadWhole<int64_t>(characters)) return *value;
  RaiseConvert(characters, u"integer value");
}

double ParseDouble(std::u16string_view characters) {
  if (const auto value = ReadWhole<double>(characters)) return *value;
  RaiseConvert(characters, u"floating point value");
}

}  // namespace velto
