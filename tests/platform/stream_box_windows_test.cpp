#include <gtest/gtest.h>

#include <string>

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

// Each origin, with offsets that must keep their sign on the way to the system's 64-bit
// Seek. The cases run in order: a seek from the current position starts where the last
// read ended.
TEST_F(SystemStream, IsWrittenSeekedAndReadThroughTheBox) {
  TStreamBox box(stream_);
  ASSERT_EQ(box.Write("hello world", 11), 11);
  const struct {
    int32_t offset;
    int16_t origin;
    int32_t position;
    std::string rest;
  } seeks[] = {
      {6, 0, 6, "world"}, {-5, 2, 6, "world"},      {0, 2, 11, ""},
      {-4, 1, 7, "orld"}, {0, 0, 0, "hello world"},
  };
  for (const auto& seek : seeks) {
    EXPECT_EQ(box.Seek(seek.offset, seek.origin), seek.position) << seek.offset;
    char buffer[16] = {};
    EXPECT_EQ(box.Read(buffer, sizeof buffer), static_cast<int32_t>(seek.rest.size()));
    EXPECT_EQ(std::string(buffer), seek.rest) << seek.offset;
  }
}

}  // namespace
}  // namespace velto
