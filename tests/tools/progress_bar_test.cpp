// The progress bar's line, drawn from a transfer's state.
#include "progress_bar.h"

#include <gtest/gtest.h>

namespace velto::cli {
namespace {

struct ProgressCase {
  const char* name;
  TransferState state;
  std::string line;
};

// A case shows by its name in test lists.
void PrintTo(const ProgressCase& row, std::ostream* out) {
  *out << row.name;
}

class ProgressBarTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressBarTest, RendersTheLine) {
  EXPECT_EQ(RenderProgress(GetParam().state), GetParam().line);
}

constexpr int64_t kMiB = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressBarTest,
    ::testing::Values(
        ProgressCase{"just_begun",
                     {true, 0, 10 * kMiB, 0},
                     "sending   [....................]   0%  0 B of 10.0 MiB  --/s  ETA --:--"},
        ProgressCase{"half_way",
                     {false, 5 * kMiB, 10 * kMiB, 2.5},
                     "receiving [##########..........]  50%  5.0 MiB of 10.0 MiB  2.0 MiB/s  "
                     "ETA 0:03"},
        ProgressCase{"done",
                     {false, 10 * kMiB, 10 * kMiB, 4},
                     "receiving [####################] 100%  10.0 MiB of 10.0 MiB  2.5 MiB/s  "
                     "ETA 0:00"},
        ProgressCase{"hours_left",
                     {true, 1024, 1024 * 1024 * 1024LL, 1},
                     "sending   [....................]   0%  1.0 KiB of 1.0 GiB  1.0 KiB/s  "
                     "ETA 291:16:15"},
        // An announced size the rate would need thousands of years for: no number.
        ProgressCase{"no_end_in_sight",
                     {false, 1024, 1LL << 62, 1},
                     "receiving [....................]   0%  1.0 KiB of 4194304.0 TiB  1.0 KiB/s  "
                     "ETA --:--"},
        ProgressCase{"unknown_total", {false, 1536, 0, 1}, "receiving  1.5 KiB  1.5 KiB/s"},
        // A server that sends more than it announced must not overflow the bar.
        ProgressCase{"more_than_announced",
                     {false, 300, 200, 1},
                     "receiving [####################] 100%  300 B of 200 B  300 B/s  ETA 0:00"}),
    [](const auto& row) { return std::string(row.param.name); });

// On a narrow terminal the line gives up its least wanted fields and stays short of the
// last column, so that a redraw never wraps.
TEST(ProgressBarWidthTest, FitsTheTerminal) {
  const TransferState half_way{false, 5 * kMiB, 10 * kMiB, 2.5};
  const TransferState unknown_total{true, 1536, 0, 1};
  const struct {
    TransferState state;
    size_t columns;
    std::string line;
  } kCases[] = {
      {half_way, 80,
       "receiving [##########..........]  50%  5.0 MiB of 10.0 MiB  2.0 MiB/s  ETA 0:03"},
      {half_way, 79, "receiving [#####.....]  50%  5.0 MiB of 10.0 MiB  2.0 MiB/s  ETA 0:03"},
      {half_way, 60, "receiving  50%  5.0 MiB of 10.0 MiB  2.0 MiB/s  ETA 0:03"},
      {half_way, 50, "receiving  50%  5.0 MiB of 10.0 MiB  2.0 MiB/s"},
      {half_way, 40, "receiving  50%  5.0 MiB of 10.0 MiB"},
      {half_way, 30, "receiving  50%  5.0 MiB"},
      {half_way, 9, "receivin"},
      {unknown_total, 40, "sending    1.5 KiB  1.5 KiB/s"},
      {unknown_total, 20, "sending    1.5 KiB"},
  };
  for (const auto& row : kCases) {
    const std::string line = RenderProgress(row.state, row.columns);
    EXPECT_EQ(line, row.line) << row.columns;
    EXPECT_LT(line.size(), row.columns);
  }
}

}  // namespace
}  // namespace velto::cli
