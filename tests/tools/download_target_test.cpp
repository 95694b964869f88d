// Which way a download reaches the name given with -o, for what is found there (a device
// among them, which the tests never write into).
#include "download_target.h"

#include <gtest/gtest.h>

namespace velto::cli {
namespace {

using std::filesystem::file_type;

TEST(DownloadTargetTest, ReplacesOnlyFilesAndFreeNames) {
  const struct {
    const char* name;
    file_type found;
    DownloadWay way;
  } kCases[] = {
      {"-", file_type::none, DownloadWay::StandardOutput},
      {"-", file_type::regular, DownloadWay::StandardOutput},
      {"out.bin", file_type::not_found, DownloadWay::ReplaceByNewFile},
      {"out.bin", file_type::regular, DownloadWay::ReplaceByNewFile},
      {"null", file_type::character, DownloadWay::WriteThrough},
      {"disk", file_type::block, DownloadWay::WriteThrough},
      {"pipe", file_type::fifo, DownloadWay::WriteThrough},
      {"socket", file_type::socket, DownloadWay::WriteThrough},
  };
  for (const auto& row : kCases) {
    EXPECT_EQ(ChooseDownloadWay(row.name, row.found), row.way)
        << row.name << " " << static_cast<int>(row.found);
  }
}

}  // namespace
}  // namespace velto::cli
