#include "json_number_limits.h"

#include <rapidjson/reader.h>

#include <cstddef>
#include <string>

namespace velto {
namespace {

using Utf16 = rapidjson::UTF16<char16_t>;

// Without an exponent, only an integer part of more than 300 digits can overflow.
constexpr std::size_t kLongestPlainNumber = 300;

}  // namespace

bool NumberWithinLimits(std::u16string_view number, bool hasExponent) {
  if (!hasExponent && number.size() <= kLongestPlainNumber) return true;
  // RapidJSON's stream wants NUL at the end; a number is short, so it is copied.
  const std::u16string terminated(number);
  rapidjson::GenericStringStream<Utf16> stream(terminated.c_str());
  rapidjson::BaseReaderHandler<Utf16> ignored;
  rapidjson::GenericReader<Utf16, Utf16> reader;
  return !reader.Parse(stream, ignored).IsError();
}

}  // namespace velto
