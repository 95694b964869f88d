// Our reader must take exactly the texts RapidJSON's reader takes and read the same from them,
// where it does not depart from it on purpose: documents that were accepted once stay accepted.
// RapidJSON serves as the oracle here.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "json_corpus.h"
#include "json_test_support.h"
#include "reader_oracle.h"
#include "velto/json_box.h"
#include "velto/unicode.h"

namespace velto {
namespace {

using testing::Join;
using testing::OracleTrace;
using testing::Trace;

void AddTrace(const JSONValue& value, Trace& trace) {
  switch (value.Type()) {
    case JSONType::Null:
      return trace.push_back("null");
    case JSONType::Boolean:
      return trace.push_back(value.BooleanValue() ? "true" : "false");
    case JSONType::Number:
      return trace.push_back("number " + Utf16ToUtf8(value.Text()));
    case JSONType::String:
      return trace.push_back("string " + Utf16ToUtf8(value.Text()));
    case JSONType::Array:
      trace.push_back("[");
      for (const JSONValuePtr& element : value.Elements()) AddTrace(*element, trace);
      return trace.push_back("]");
    case JSONType::Object:
      trace.push_back("{");
      for (const JSONMember& member : value.Members()) {
        trace.push_back("name " + Utf16ToUtf8(member.Name.View()));
        AddTrace(*member.Value, trace);
      }
      return trace.push_back("}");
  }
}

// Our reading of an object or array text, or nothing when it is refused.
std::optional<Trace> OurTrace(const std::u16string& text) {
  std::shared_ptr<IJSONValue> parsed;
  try {
    parsed = JSONObject(text);
  } catch (const ETypeMismatch&) {
    try {
      parsed = JSONArray(text);
    } catch (const ETypeMismatch&) {
      return std::nullopt;
    }
  }
  Trace trace;
  AddTrace(*parsed->Get(), trace);
  return trace;
}

class ReaderAgreementOnCorpus : public testing::CorpusTest {};

TEST_F(ReaderAgreementOnCorpus, FilesOfEveryKind) {
  for (const testing::CorpusFile& file : testing::Corpus()) {
    EXPECT_EQ(OurTrace(file.text), OracleTrace(file.text)) << file.name;
  }
}

std::u16string Repeat(char16_t unit, size_t count) {
  return std::u16string(count, unit);
}

// Numbers near the limits of a double, where refusals go by value, not by grammar.
TEST(ReaderAgreement, NumbersAtTheLimitsOfRange) {
  const std::vector<std::u16string> numbers = {
      u"1e308",
      u"1e309",
      u"10e308",
      u"0.1e309",
      u"0e1000",
      u"-0.0e99999999999999999999",
      u"1000e-310",
      u"0.001e311",
      u"0e308",
      u"1e-400",
      u"-1e400",
      u"1E+308",
      u"1.7976931348623157e308",
      u"1.7976931348623159e308",
      u"179769313486231570000e288",
      u"123456789012345678901234567890e280",
      u"1e00000000000000000000000000000000000000001",
      u"1e-99999999999999999999999",
      u"-0",
      u"-0.0e-0",
      u"18446744073709551615",
      u"18446744073709551616",
      u"-9223372036854775809",
      Repeat(u'9', 300),
      Repeat(u'9', 301),
      Repeat(u'9', 308),
      Repeat(u'9', 309),
      Repeat(u'9', 310),
      Repeat(u'1', 400),
      Join(u"-", Repeat(u'9', 309)),
      Join(u"0.", Repeat(u'1', 400)),
      Join(Repeat(u'9', 200), u".", Repeat(u'9', 200)),
      Join(Repeat(u'9', 300), u"e8"),
      Join(u"1.", Repeat(u'0', 300), u"e308"),
      Join(u"0.", Repeat(u'0', 300), u"1e609"),
      Join(u"0.", Repeat(u'0', 400), u"1e400"),
  };
  for (const std::u16string& number : numbers) {
    const std::u16string text = Join(u"[", number, u"]");
    EXPECT_EQ(OurTrace(text), OracleTrace(text)) << Utf16ToUtf8(number);
  }
}

// Texts a few edits away from valid documents: every kind of token cut, doubled, swapped or broken.
TEST(ReaderAgreement, TextsAFewEditsFromValidOnes) {
  const std::vector<std::u16string> seeds = {
      uR"({"a":[1,-0.5e+3,true,false,null,"x\u00e9\n\ud83d\ude00"],"b":{"c":""},"d":1e2})",
      uR"([{"name":"\"q\"\\\/\b\f\r\t","n":[0,[],{}]}, 12.50E-1 , "\uDC00\uD800\uDC00"])",
      u"[\"\uD55C\uAE00\",\"\U0001F600\",{\"k\":\"v\"}]",
  };
  const std::u16string alphabet =
      u"{}[]\",:\\/u0123456789abcdefABCDEF+-.eEtrlsn \t\r\n\x01\x7F\u00E9\xD800\xDC00";
  // Fully specified by the standard, so every platform sees the same texts.
  std::minstd_rand random(20261210);
  const auto next = [&random](size_t bound) { return static_cast<size_t>(random() % bound); };
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::u16string text = seeds[next(seeds.size())];
    for (size_t edit = 0, edits = 1 + next(3); edit < edits; ++edit) {
      const size_t at = next(text.size());
      const char16_t unit = alphabet[next(alphabet.size())];
      switch (next(3)) {
        case 0:
          text.erase(at, 1);
          break;
        case 1:
          text.insert(at, 1, unit);
          break;
        default:
          text[at] = unit;
      }
    }
    const std::optional<Trace> ours = OurTrace(text);
    ASSERT_EQ(ours, OracleTrace(text)) << Utf16ToUtf8(text);
    accepted += ours.has_value();
  }
  EXPECT_GT(accepted, 1000) << "the edits should leave many texts valid";
}

}  // namespace
}  // namespace velto
