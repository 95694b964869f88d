// The main of a test program that runs as one ctest test (under Wine): when every case it
// ran was skipped, it says so with the exit code ctest takes for a skip, so a program that
// tested nothing is never counted as passed. Cases skipped beside others that ran are found
// in its output by scripts/test.
#include <gtest/gtest.h>

namespace {
constexpr int kAllSkipped = 77;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
  if (status == 0 && run.successful_test_count() == 0 && run.skipped_test_count() > 0) {
    return kAllSkipped;
  }
  return status;
}
