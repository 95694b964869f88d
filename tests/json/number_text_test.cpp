#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>
#include <optional>
#include <string>

#include "json_test_support.h"
#include "velto/json_box.h"
#include "velto/unicode.h"

namespace velto {
namespace {

using testing::Doc;
using testing::Join;

// A row's name from the first characters of its number; the index keeps names apart.
template <class Row>
std::string NumberName(const ::testing::TestParamInfo<Row>& row) {
  return testing::CaseName(std::to_string(row.index) + "_" +
                           Utf16ToUtf8(row.param.characters).substr(0, 24));
}

struct TextForm {
  std::u16string characters;
  std::u16string text;
  TJSONBoxKind kind;  // integer unless the text form has a decimal point
};

class NumberTextForm : public ::testing::TestWithParam<TextForm> {};

// The text form is what a parsed number reads as and what decides its kind; the number itself is
// written unchanged.
TEST_P(NumberTextForm, ReadsAsTextAndGivesTheKind) {
  const TextForm& c = GetParam();
  Doc doc(u"[" + c.characters + u"]");
  EXPECT_EQ(doc.box[0].AsString(), c.text);
  EXPECT_EQ(doc.box[0].GetString(), c.text);
  EXPECT_EQ(doc.box[0].Kind(), c.kind);
  EXPECT_EQ(doc.Compact(), u"[" + c.characters + u"]");
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberTextForm,
    ::testing::Values(
        TextForm{u"1", u"1", jbkInteger}, TextForm{u"1.0", u"1", jbkInteger},
        TextForm{u"1e2", u"100", jbkInteger}, TextForm{u"1.5e20", u"1.5E20", jbkFloat},
        TextForm{u"1.5", u"1.5", jbkFloat}, TextForm{u"1.50", u"1.5", jbkFloat},
        TextForm{u"-0.25", u"-0.25", jbkFloat}, TextForm{u"0", u"0", jbkInteger},
        TextForm{u"-0", u"0", jbkInteger}, TextForm{u"0.0001", u"0.0001", jbkFloat},
        TextForm{u"0.00001", u"1E-5", jbkInteger}, TextForm{u"0.00000015", u"1.5E-7", jbkFloat},
        TextForm{u"1e20", u"1E20", jbkInteger},
        TextForm{u"123456789012345", u"123456789012345", jbkInteger},
        TextForm{u"1234567890123456.5", u"1.23456789012346E15", jbkFloat},
        TextForm{u"1e15", u"1E15", jbkInteger},
        TextForm{u"0.1234567890123456789", u"0.123456789012346", jbkFloat},
        TextForm{u"123456789012", u"123456789012", jbkInteger},
        TextForm{u"-9223372036854775808", u"-9223372036854775808", jbkInteger},
        TextForm{u"12345678901234567", u"12345678901234567", jbkInteger},
        TextForm{u"123456789012e-2", u"1234567890.12", jbkFloat},
        // Beyond 64 bits the general format takes over instead of failing the read.
        TextForm{u"12345678901234567890", u"1.23456789012346E19", jbkFloat},
        TextForm{u"-9223372036854775809", u"-9.22337203685478E18", jbkFloat},
        TextForm{u"99999999999999999999", u"1E20", jbkInteger},
        // Below the double range the value is 0.
        TextForm{u"1e-400", u"0", jbkInteger}, TextForm{u"-2.5E-999", u"0", jbkInteger},
        TextForm{u"1000e-310", u"1E-307", jbkInteger},
        TextForm{u"2.5e-324", u"4.94065645841247E-324", jbkFloat}),
    NumberName<TextForm>);

// An integer text beyond 64 bits whose text form has a decimal point is a float throughout.
TEST(NumberText, IntegerTextBeyond64BitsWithAFractionReadsAsFloatVariant) {
  Doc doc(u"[12345678901234567890]");
  EXPECT_EQ(doc.box[0].AsVariant(), Variant(12345678901234567890.0));
  EXPECT_EQ(doc.box.Get(0, 1.5), 12345678901234567890.0);
  EXPECT_EQ(doc.box.Get(0, int64_t{7}), 7);
}

// 2^1024 - 2^970, halfway between the largest double and 2^1024 (python3: 2**1024 - 2**970).
// From there up a value rounds to infinity: the tie goes to the even neighbour, which is 2^1024.
const std::u16string kOverflowHalfway =
    u"17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797"
    u"75872070963302864166928879109465555478519404026306574886715058206819089020007083836762738548"
    u"45817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711"
    u"559699508093042880177904174497792";
const std::u16string kBelowHalfway = Join(kOverflowHalfway.substr(0, 308), u"1");

struct RangeCase {
  std::u16string characters;
  std::optional<double> value;  // none: refused
};

class NumberRange : public ::testing::TestWithParam<RangeCase> {};

// Numbers are judged by their value: only one beyond the largest double is refused, whatever its
// exponent says; one below the smallest reads as 0. The same on every build, 32-bit x87 included.
TEST_P(NumberRange, AcceptedByValue) {
  const RangeCase& c = GetParam();
  const std::u16string text = Join(u"[", c.characters, u"]");
  if (!c.value) {
    EXPECT_THROW(JSONArray(text), ETypeMismatch);
    return;
  }
  Doc doc(text);
  EXPECT_EQ(doc.box[0].AsFloat(), *c.value);
  EXPECT_EQ(std::signbit(doc.box[0].AsFloat()), std::signbit(*c.value));
}

constexpr double kLargest = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(
    Table, NumberRange,
    ::testing::Values(RangeCase{u"1e400", std::nullopt}, RangeCase{u"-1e400", std::nullopt},
                      RangeCase{Join(u"-1", std::u16string(400, u'0')), std::nullopt},
                      RangeCase{std::u16string(309, u'9'), std::nullopt},
                      RangeCase{std::u16string(308, u'9'), 1e308},
                      RangeCase{u"10e308", std::nullopt}, RangeCase{u"0.1e309", 1e308},
                      RangeCase{u"0.000001e314", 1e308}, RangeCase{u"0e1000", 0.0},
                      RangeCase{u"-0.0e99999999999999999999", -0.0},
                      RangeCase{u"1000e-310", 1e-307}, RangeCase{u"1e-400", 0.0},
                      RangeCase{u"-2.5E-999", -0.0}, RangeCase{u"1e-99999999999999999999", 0.0},
                      RangeCase{u"2.5e-324", std::numeric_limits<double>::denorm_min()},
                      RangeCase{u"1.7976931348623157e308", kLargest},
                      RangeCase{u"1.7976931348623159e308", std::nullopt},
                      RangeCase{kOverflowHalfway, std::nullopt}, RangeCase{kBelowHalfway, kLargest},
                      RangeCase{Join(u"-", kBelowHalfway), -kLargest},
                      RangeCase{Join(u"0.0", kOverflowHalfway, u"e310"), std::nullopt},
                      RangeCase{Join(u"0.0", kBelowHalfway, u"000e310"), kLargest},
                      RangeCase{Join(kOverflowHalfway.substr(0, 20), u"e289"), kLargest},
                      RangeCase{Join(kOverflowHalfway.substr(0, 20), u"4e288"), std::nullopt}),
    NumberName<RangeCase>);

// Rounded to 15 digits the largest doubles would exceed the range the reader accepts: what
// the writer gives for them must read back.
TEST(NumberText, LargestDoublesAreWrittenAsTextThatReadsBack) {
  Doc doc(u"[1.7976931348623157e308]");
  for (const double value : {kLargest, -kLargest, 1.797693134862315e308, 1.79769313486231e308}) {
    doc.box.Push(value);
  }
  EXPECT_EQ(doc.box[0].AsString(), u"1.79769313486231E308");
  const std::u16string written = doc.Compact();
  EXPECT_EQ(written,
            u"[1.7976931348623157e308,1.79769313486231E308,-1.79769313486231E308,"
            u"1.79769313486231E308,1.79769313486231E308]");
  Doc again(written);
  EXPECT_EQ(again.box[2].AsFloat(), -1.79769313486231e308);
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
