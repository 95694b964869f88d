#include "velto/stream_box.h"

#include <gtest/gtest.h>

#include "velto/exception.h"
#include "velto/string_stream.h"

namespace velto {
namespace {

using test::StringStream;

TEST(TStreamBox, ReadsWritesAndSeeksTheHostStream) {
  StringStream host;
  {
    TStreamBox box(&host.com);
    EXPECT_EQ(host.references, 2u);
    EXPECT_EQ(box.Write("hello", 5), 5);
    EXPECT_EQ(box.Seek(1, 0), 1);
    char buffer[8] = {};
    EXPECT_EQ(box.Read(buffer, 8), 4);
    EXPECT_STREQ(buffer, "ello");
    EXPECT_EQ(box.Seek(-2, 2), 3);
    EXPECT_EQ(host.last_origin, 2u);
  }
  EXPECT_EQ(host.references, 1u) << "the box releases its reference";
}

TEST(TStreamBox, RefusesNegativeCountsAndPositionsBeyond32Bits) {
  StringStream host;
  TStreamBox box(&host.com);
  char byte = 0;
  EXPECT_THROW(box.Read(&byte, -1), Exception);
  EXPECT_THROW(box.Write(&byte, -1), Exception);
  host.data.assign(16, 'x');
  host.position = 0;
  EXPECT_THROW(box.Seek(0x7FFFFFFF, 2), Exception);
}

}  // namespace
}  // namespace velto
