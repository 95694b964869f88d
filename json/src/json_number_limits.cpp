#include "json_number_limits.h"

#include <rapidjson/reader.h>

#include <cstddef>

namespace velto {
namespace {

using Utf16 = rapidjson::UTF16<char16_t>;

// Reads one number in place; the reader sees NUL at its end.
class NumberStream {
 public:
  using Ch = char16_t;
  explicit NumberStream(std::u16string_view number)
      : head_(number.data()), at_(head_), end_(head_ + number.size()) {}

  Ch Peek() const { return at_ != end_ ? *at_ : Ch{}; }
  Ch Take() { return at_ != end_ ? *at_++ : Ch{}; }
  std::size_t Tell() const { return static_cast<std::size_t>(at_ - head_); }
  // Only in-place parsing writes to the input; this reader never does.
  Ch* PutBegin() { return nullptr; }
  void Put(Ch) {}
  void Flush() {}
  std::size_t PutEnd(Ch*) { return 0; }

 private:
  const char16_t* head_;
  const char16_t* at_;
  const char16_t* end_;
};

// Without an exponent, only an integer part of more than 300 digits can overflow.
constexpr std::size_t kLongestPlainNumber = 300;

}  // namespace

bool NumberWithinLimits(std::u16string_view number, bool hasExponent) {
  if (!hasExponent && number.size() <= kLongestPlainNumber) return true;
  NumberStream stream(number);
  rapidjson::BaseReaderHandler<Utf16> ignored;
  rapidjson::GenericReader<Utf16, Utf16> reader;
  return !reader.Parse(stream, ignored).IsError();
}

}  // namespace velto
