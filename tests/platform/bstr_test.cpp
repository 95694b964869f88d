#include "velto/bstr.h"

#include <gtest/gtest.h>

#include "velto/exception.h"

namespace velto {
namespace {

TEST(Bstr, RoundTripsEveryKindOfText) {
  const std::u16string cases[] = {u"",
                                  u"a",
                                  u"작업 중입니다",
                                  std::u16string(u"nul\0inside", 10),
                                  u"\U0001F600 pair",
                                  std::u16string(5000, u'x')};
  for (const std::u16string& text : cases) {
    BstrOwner owner(text);
    ASSERT_NE(owner.Get(), nullptr);
    EXPECT_EQ(BstrLength(owner.Get()), text.size());
    EXPECT_EQ(owner.Text(), text);
    EXPECT_EQ(owner.Get()[text.size()], 0) << "a BSTR ends with a zero code unit";
  }
}

TEST(Bstr, NullIsTheEmptyText) {
  EXPECT_EQ(FromBstr(nullptr), u"");
  EXPECT_EQ(BstrLength(nullptr), 0u);
  FreeBstr(nullptr);
}

TEST(Bstr, StoreReplacesWhatTheVariableHeld) {
  BstrOwner variable(u"old");
  StoreBstr(variable.Out(), u"new text");
  EXPECT_EQ(variable.Text(), u"new text");  // the old one is freed: ASan reports a leak else
  BstrOwner empty;
  StoreBstr(empty.Out(), u"");
  EXPECT_NE(empty.Get(), nullptr);
  EXPECT_THROW(StoreBstr(nullptr, u"x"), Exception);
}

}  // namespace
}  // namespace velto
