#include "velto/limit_values.h"

#include <gtest/gtest.h>

#include <optional>

namespace velto {
namespace {

TEST(LimitValues, ReadsSizesWithTheirSuffixes) {
  const struct {
    const char* text;
    std::optional<uint64_t> bytes;
  } cases[] = {
      {"1", 1},
      {"1000", 1000},
      {"1K", 1024},
      {"64M", uint64_t{64} << 20},
      {"64m", uint64_t{64} << 20},
      {"3G", uint64_t{3} << 30},  // beyond 32 bits
      {"17179869183G", uint64_t{17179869183} << 30},
      {"17179869184G", std::nullopt},  // beyond 64 bits
      {"18446744073709551616", std::nullopt},
      {"0", std::nullopt},
      {"0K", std::nullopt},
      {"", std::nullopt},
      {"M", std::nullopt},
      {"-1", std::nullopt},
      {"+5", std::nullopt},
      {"1.5M", std::nullopt},
      {"5 M", std::nullopt},
      {"5MB", std::nullopt},
      {"5T", std::nullopt},
      {"lots", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseByteSize(c.text), c.bytes) << c.text;
}

TEST(LimitValues, ReadsSecondsUpToTheLongestWait) {
  using std::chrono::seconds;
  const struct {
    const char* text;
    std::optional<seconds> value;
  } cases[] = {
      {"1", seconds(1)},         {"120", seconds(120)}, {"2147483", seconds(2147483)},
      {"2147484", std::nullopt}, {"0", std::nullopt},   {"-5", std::nullopt},
      {"2s", std::nullopt},      {"", std::nullopt},    {"soon", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseLimitSeconds(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace velto
