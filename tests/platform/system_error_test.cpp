#include "velto/system_error.h"

#include <gtest/gtest.h>

namespace velto {
namespace {

// One full stop closes the sentence, also where the system has no text for the code.
TEST(SystemErrorSentence, EndsInOneFullStop) {
  const std::u16string known = SystemErrorSentence(ERROR_FILE_NOT_FOUND);
  EXPECT_GT(known.size(), 5u);
  EXPECT_TRUE(known.ends_with(u".") && !known.ends_with(u"..")) << known.size();
  EXPECT_EQ(SystemErrorSentence(0xDEAD), u"Windows error 57005.");
}

}  // namespace
}  // namespace velto
