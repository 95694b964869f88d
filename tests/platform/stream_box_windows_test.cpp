#include <gtest/gtest.h>

#include "velto/stream_box.h"
#include "velto_box.h"

namespace velto {
namespace {

// The system's own memory stream, as a Windows host would hand one over.
class SystemStream : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream_), S_OK); }
  void TearDown() override {
    if (stream_ != nullptr) {
      EXPECT_EQ(stream_->Release(), 0u) << "no reference is left behind";
    }
  }

  IStream* stream_ = nullptr;
};

TEST_F(SystemStream, IsReadWrittenAndSeekedThroughTheBox) {
  TStreamBox box(stream_);
  EXPECT_EQ(box.Write("hello", 5), 5);
  EXPECT_EQ(box.Seek(1, 0), 1);
  char buffer[8] = {};
  EXPECT_EQ(box.Read(buffer, 8), 4);
  EXPECT_STREQ(buffer, "ello");
  EXPECT_EQ(box.Seek(-2, 2), 3);
  EXPECT_EQ(box.Seek(1, 1), 4);
  EXPECT_EQ(box.Read(buffer, 8), 1);
  EXPECT_EQ(buffer[0], 'o');
}

}  // namespace
}  // namespace velto
