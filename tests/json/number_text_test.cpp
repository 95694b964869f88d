#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Doc;

struct TextForm {
  std::u16string characters;
  std::u16string text;
};

class NumberTextForm : public ::testing::TestWithParam<TextForm> {};

// The text form is what a parsed number reads as; the number itself is written unchanged.
TEST_P(NumberTextForm, ReadsAsText) {
  const TextForm& c = GetParam();
  Doc doc(u"[" + c.characters + u"]");
  EXPECT_EQ(doc.box[0].AsString(), c.text);
  EXPECT_EQ(doc.box[0].GetString(), c.text);
  EXPECT_EQ(doc.Compact(), u"[" + c.characters + u"]");
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberTextForm,
    ::testing::Values(TextForm{u"1", u"1"}, TextForm{u"1.0", u"1"}, TextForm{u"1e2", u"100"},
                      TextForm{u"1.5e20", u"1.5E20"}, TextForm{u"1.5", u"1.5"},
                      TextForm{u"1.50", u"1.5"}, TextForm{u"-0.25", u"-0.25"}, TextForm{u"0", u"0"},
                      TextForm{u"-0", u"0"}, TextForm{u"0.0001", u"0.0001"},
                      TextForm{u"0.00001", u"1E-5"}, TextForm{u"0.00000015", u"1.5E-7"},
                      TextForm{u"1e20", u"1E20"}, TextForm{u"123456789012345", u"123456789012345"},
                      TextForm{u"1234567890123456.5", u"1.23456789012346E15"},
                      TextForm{u"1e15", u"1E15"},
                      TextForm{u"0.1234567890123456789", u"0.123456789012346"},
                      TextForm{u"123456789012", u"123456789012"},
                      TextForm{u"-9223372036854775808", u"-9223372036854775808"},
                      TextForm{u"12345678901234567", u"12345678901234567"},
                      // Beyond 64 bits the general format takes over instead of failing the read.
                      TextForm{u"99999999999999999999", u"1E20"},
                      TextForm{u"123456789012e-2", u"1234567890.12"},
                      // Below the double range the characters stay as they are.
                      TextForm{u"1e-400", u"1e-400"}, TextForm{u"-2.5E-999", u"-2.5E-999"}));

// The reader refuses numbers above the double range, so no document holds one.
TEST(NumberText, NumbersAboveTheDoubleRangeAreRefused) {
  EXPECT_THROW(JSONArray(u"[1e400]"), ETypeMismatch);
  EXPECT_THROW(JSONArray(u"[-1" + std::u16string(400, u'0') + u"]"), ETypeMismatch);
}

// The decimal separator is "." whatever the program's locale says.
TEST(NumberText, DecimalPointIgnoresTheLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new Comma));
  Doc doc(u"[2.5]");
  doc.box.Push(0.75);
  doc.box.Push(1.5e-9);
  const std::u16string text = doc.box[0].AsString();
  const double real = doc.box[0].AsFloat();
  const std::u16string written = doc.Compact();
  std::locale::global(saved);
  EXPECT_EQ(text, u"2.5");
  EXPECT_EQ(real, 2.5);
  EXPECT_EQ(written, u"[2.5,0.75,1.5E-9]");
}

}  // namespace
}  // namespace velto
