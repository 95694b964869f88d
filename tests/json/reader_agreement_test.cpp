// Our reader must take exactly the texts RapidJSON's reader takes, and read the same strings from
// them: documents that were accepted once stay accepted. RapidJSON serves as the oracle here.

#include <gtest/gtest.h>

// An escaped low surrogate alone reaches RapidJSON's encoder, whose debug check would abort; the
// trace mends it instead.
#define RAPIDJSON_ASSERT(x) static_cast<void>(0)
#include <rapidjson/reader.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "json_corpus.h"
#include "json_test_support.h"
#include "velto/json_box.h"
#include "velto/unicode.h"

namespace velto {
namespace {

using testing::Join;

using Utf16 = rapidjson::UTF16<char16_t>;

// The document read as a list of events, with every string and name as UTF-8, where unpaired
// surrogates show as U+FFFD just as our reader mends them.
using Trace = std::vector<std::string>;

class TraceHandler : public rapidjson::BaseReaderHandler<Utf16, TraceHandler> {
 public:
  explicit TraceHandler(Trace& trace) : trace_(trace) {}
  bool Default() { return Add("number"); }
  bool Null() { return Add("null"); }
  bool Bool(bool value) { return Add(value ? "true" : "false"); }
  bool String(const char16_t* text, rapidjson::SizeType length, bool) {
    return Add("string " + Utf16ToUtf8({text, length}));
  }
  bool Key(const char16_t* text, rapidjson::SizeType length, bool) {
    return Add("name " + Utf16ToUtf8({text, length}));
  }
  bool StartObject() { return Add("{"); }
  bool EndObject(rapidjson::SizeType) { return Add("}"); }
  bool StartArray() { return Add("["); }
  bool EndArray(rapidjson::SizeType) { return Add("]"); }

 private:
  bool Add(std::string event) {
    trace_.push_back(std::move(event));
    return true;
  }
  Trace& trace_;
};

// RapidJSON's reading of an object or array text, or nothing when it refuses the text. The text
// is mended first as our reader mends it; NUL, which RapidJSON takes as the end, is never JSON.
std::optional<Trace> OracleTrace(const std::u16string& text) {
  const std::u16string mended = Utf8ToUtf16(Utf16ToUtf8(text));
  if (mended.find(u'\0') != std::u16string::npos) return std::nullopt;
  Trace trace;
  TraceHandler handler(trace);
  rapidjson::GenericStringStream<Utf16> stream(mended.c_str());
  rapidjson::GenericReader<Utf16, Utf16> reader;
  if (reader.Parse<rapidjson::kParseIterativeFlag>(stream, handler).IsError()) return std::nullopt;
  if (trace.front() != "{" && trace.front() != "[") return std::nullopt;
  return trace;
}

void AddTrace(const JSONValue& value, Trace& trace) {
  switch (value.Type()) {
    case JSONType::Null:
      return trace.push_back("null");
    case JSONType::Boolean:
      return trace.push_back(value.BooleanValue() ? "true" : "false");
    case JSONType::Number:
      return trace.push_back("number");
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

bool OracleAccepts(const std::u16string& text) {
  return OracleTrace(text).has_value();
}

bool WeAccept(const std::u16string& text) {
  return OurTrace(text).has_value();
}

class ReaderAgreementOnCorpus : public testing::CorpusTest {};

TEST_F(ReaderAgreementOnCorpus, FilesOfEveryKind) {
  for (const testing::CorpusFile& file : testing::Corpus()) {
    EXPECT_EQ(WeAccept(file.text), OracleAccepts(file.text)) << file.name;
  }
}

std::u16string Repeat(char16_t unit, size_t count) {
  return std::u16string(count, unit);
}

// Numbers near the limits of a double, where RapidJSON refuses by value, not by grammar.
TEST(ReaderAgreement, NumbersAtTheLimitsOfRange) {
  const std::vector<std::u16string> numbers = {
      u"1e308",
      u"1e309",
      u"10e308",
      u"0.1e309",
      u"0e1000",
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
  };
  for (const std::u16string& number : numbers) {
    const std::u16string text = Join(u"[", number, u"]");
    EXPECT_EQ(WeAccept(text), OracleAccepts(text)) << Utf16ToUtf8(number);
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
