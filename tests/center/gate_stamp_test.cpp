#include "velto/gate_stamp.h"

#include <gtest/gtest.h>

namespace velto {
namespace {

TEST(GateTimeStamp, IsTwentyDigitsOfLocalTimeThen123) {
  EXPECT_EQ(GateTimeStamp({2024, 3, 5, 14, 7, 9, 42}), u"20240305140709042123");
  EXPECT_EQ(GateTimeStamp({2025, 1, 1, 9, 5, 3, 7}), u"20250101090503007123");
  EXPECT_EQ(GateTimeStamp({2025, 12, 31, 23, 59, 59, 999}), u"20251231235959999123");
}

}  // namespace
}  // namespace velto
