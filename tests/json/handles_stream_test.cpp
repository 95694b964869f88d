#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Doc;
using testing::Join;
using testing::MessageOf;
using testing::Unchecked;

struct ParseCase {
  const char* name;
  std::u16string text;
  bool object;  // accepted by JSONObject
  bool array;   // accepted by JSONArray
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, AcceptsExactlyOneContainerOfTheKindAsked) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(MessageOf([&] { JSONObject(c.text); }),
            c.object ? u"(nothing raised)" : u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { JSONArray(c.text); }),
            c.array ? u"(nothing raised)" : u"Type mismatch");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Parse,
    ::testing::Values(ParseCase{"spaces around", u" \r\n\t{\"a\":1} \n", true, false},
                      ParseCase{"array", u"[1,{}]", false, true},
                      ParseCase{"trailing characters", u"{} x", false, false},
                      ParseCase{"two values", u"[] []", false, false},
                      ParseCase{"empty text", u"", false, false},
                      ParseCase{"truncated", u"{\"a\":[1,", false, false},
                      ParseCase{"scalar", u"5", false, false},
                      ParseCase{"nul after value", std::u16string(u"{}\0{", 4), false, false},
                      ParseCase{"nul in string", std::u16string(u"[\"\0\"]", 5), false, false},
                      ParseCase{"escaped nul", u"[\"\\u0000\"]", false, true},
                      ParseCase{"single quotes", u"{'a':1}", false, false},
                      ParseCase{"trailing comma", u"[1,]", false, false}),
    [](const auto& row) { return testing::CaseName(row.param.name); });

TEST(Parse, KeepsOrderDuplicatesNumbersAndText) {
  Doc doc(uR"({"z":1.50,"a":"\u00e9\ud83d\ude00\/","z":-0.0e+1,"":true})");
  EXPECT_EQ(doc.Compact(), uR"({"z":1.50,"a":"\u00E9\uD83D\uDE00\/","z":-0.0e+1,"":true})");
  EXPECT_EQ(doc.box[u"a"].AsString(), u"é😀/");
  EXPECT_EQ(doc.box[u""].AsBoolean(), true) << "a path without items names the empty name";
}

constexpr char16_t kHigh = 0xD800;
constexpr char16_t kLow = 0xDC00;
const std::u16string kHighAlone(1, kHigh);
const std::u16string kLowAlone(1, kLow);

struct SurrogateCase {
  const char* name;
  std::u16string string;  // a JSON string's characters between its quotes
  std::u16string read;
};

class UnpairedSurrogate : public ::testing::TestWithParam<SurrogateCase> {};

// Every surrogate without its partner, raw or escaped, high or low, reads as U+FFFD, as encoding
// the text to UTF-8 would make it; the rest of the document reads as it is.
TEST_P(UnpairedSurrogate, ReadsAsReplacementCharacter) {
  const SurrogateCase& c = GetParam();
  Doc doc(Join(u"[\"", c.string, u"\",\"after\"]"));
  EXPECT_EQ(doc.box[0].AsString(), c.read);
  EXPECT_EQ(doc.box[1].AsString(), u"after");
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnpairedSurrogate,
    ::testing::Values(
        SurrogateCase{"raw high", Join(u"a", kHighAlone, u"b"), u"a\uFFFDb"},
        SurrogateCase{"raw low", kLowAlone, u"\uFFFD"},
        SurrogateCase{"raw pair reversed", std::u16string{kLow, kHigh}, u"\uFFFD\uFFFD"},
        SurrogateCase{"escaped low", u"\\uDC00", u"\uFFFD"},
        SurrogateCase{"escaped high at the end", u"\\uD800", u"\uFFFD"},
        SurrogateCase{"escaped high, then a character", u"\\uDBFFx", u"\uFFFDx"},
        SurrogateCase{"escaped high, then another escape", u"\\uD800\\u0041", u"\uFFFDA"},
        SurrogateCase{"escaped high, then a short escape", u"\\uD800\\n", u"\uFFFD\n"},
        SurrogateCase{"escaped high, then a pair", u"\\uD800\\uD83D\\uDE00", u"\uFFFD😀"},
        SurrogateCase{"escaped pair reversed", u"\\uDC00\\uD800", u"\uFFFD\uFFFD"},
        SurrogateCase{"escaped high, raw low", Join(u"\\uD800", kLowAlone), u"\uFFFD\uFFFD"},
        SurrogateCase{"raw high, escaped low", Join(kHighAlone, u"\\uDC00"), u"\uFFFD\uFFFD"},
        SurrogateCase{"escaped pair", u"\\uD83D\\uDE00", u"😀"},
        SurrogateCase{"raw pair", std::u16string{0xD83D, 0xDE00}, u"😀"}),
    [](const auto& row) { return testing::CaseName(row.param.name); });

TEST(Parse, SurrogatesOutsideStringsAndBrokenEscapesAfterThemAreRefused) {
  EXPECT_THROW(JSONArray(Join(u"[\"a\",", kLowAlone, u"\"x\"]")), ETypeMismatch);
  EXPECT_THROW(JSONArray(u"[\"\\uD800\\u12\"]"), ETypeMismatch);
  EXPECT_THROW(JSONArray(u"[\"\\uD800\\x\"]"), ETypeMismatch);
  EXPECT_THROW(JSONArray(u"[\"\\uD800"), ETypeMismatch);
}

TEST(Parse, NumbersKeepTheirCharactersAtEveryPosition) {
  Doc doc(u"[-2.5e+3,0,[1],{\"n\":-0.0E-0},12345678901234567890]");
  EXPECT_EQ(doc.Compact(), u"[-2.5e+3,0,[1],{\"n\":-0.0E-0},12345678901234567890]");
  EXPECT_EQ(JSONStringify(JSONArray(u"[7]")->Get()), u"[\r\n  7\r\n]");
}

// Parsed values share memory blocks; each value still lives and dies on its own.
TEST(Parse, ValuesOutliveTheirNeighboursAndThreads) {
  TJSONBox root = TJSONBox::Create(JSONObject(uR"({"a":[1,2,3],"b":{"c":"long enough text"}})"));
  JSONRootGuard guard(root);
  root.Delete(u"a");
  root[u"b"] <= JSONObject(uR"({"d":[true]})");
  root.Put(u"e", JSONArray(u"[{}]"));
  EXPECT_EQ(JSONStringify(root[u"b.d"].Content), u"[\r\n  true\r\n]");
  auto parsed = JSONArray(u"[[1],[2]]");
  std::thread([moved = std::move(parsed)]() mutable { moved.reset(); }).join();
  EXPECT_EQ(root.Stringify(),
            u"{\r\n  \"b\": {\r\n    \"d\": [\r\n      true\r\n    ]\r\n  },\r\n"
            u"  \"e\": [\r\n    {}\r\n  ]\r\n}");
}

TEST(Handles, OfferTheirInterfaces) {
  const std::shared_ptr<IInterface> object = JSONObject();
  EXPECT_TRUE(std::dynamic_pointer_cast<IJSONValue>(object));
  EXPECT_TRUE(std::dynamic_pointer_cast<IJSONPart>(object));
  EXPECT_FALSE(std::dynamic_pointer_cast<IJSONArray>(object));
  EXPECT_FALSE(std::dynamic_pointer_cast<IJSONPair>(object));
  const std::shared_ptr<IInterface> pair = JSONPair(u"", 1);
  EXPECT_TRUE(std::dynamic_pointer_cast<IJSONPart>(pair));
  EXPECT_FALSE(std::dynamic_pointer_cast<IJSONValue>(pair));
  EXPECT_EQ(JSONPair(u"", 1)->GetName(), u"") << "the name is kept as it is";
  EXPECT_TRUE(JSONArray()->Get()->IsArray());
}

TEST(Handles, ValueFromCloneAndPartFrom) {
  const auto parsed = JSONObject(uR"({"a":[1]})");
  JSONValuePtr copy = JSONValueFrom(parsed);
  EXPECT_NE(copy.get(), parsed->Get());
  EXPECT_EQ(JSONStringify(copy.get()), JSONStringify(parsed->Get()));
  EXPECT_EQ(TJSONValueFactory(nullptr).Clone(), nullptr);

  const auto pair = JSONPair(u"p", 1);
  EXPECT_EQ(JSONPartFrom(pair), pair) << "a pair stays the same handle";
  EXPECT_EQ(JSONPartFrom(parsed), parsed) << "a value stays the same handle";
  const auto made = std::dynamic_pointer_cast<IJSONValue>(JSONPartFrom(u"s"));
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->Get()->IsString());

  struct Foreign : IInterface {};
  for (const Variant& refused :
       {Variant::Null(), Variant(), Variant(uint64_t{1}), Variant(std::make_shared<Foreign>())}) {
    EXPECT_EQ(MessageOf([&] { JSONPartFrom(refused); }), u"Type mismatch");
  }
}

TEST(Handles, PairHoldsACopyOfAParsedDocument) {
  TJSONBox root = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(root);
  const auto parsed = JSONObject(uR"({"a":1})");
  const auto pair = JSONPair(u"p", parsed);
  TJSONBox view;
  view.Content = parsed->Get();
  view.Put(u"a", 2);
  TJSONStream(root) <= pair;
  EXPECT_EQ(root[u"p.a"].AsInteger(), 1);
}

TEST(Stream, PairsReplaceOrAppendInOrder) {
  Doc doc(u"{}");
  TJSONStream(doc.box) <= JSONPair(u"code", u"SUCCESS") <= JSONPair(u"data", u"x");
  EXPECT_EQ(doc.Compact(), uR"({"code":"SUCCESS","data":"x"})");
  TJSONStream(doc.box) <= JSONPair(u"code", u"FAIL") <= JSONPair(u"data", u"y");
  EXPECT_EQ(doc.Compact(), uR"({"code":"FAIL","data":"y"})");
  TJSONStream(doc.box) <= JSONPair(u"", 1);
  EXPECT_EQ(doc.Compact(), uR"({"code":"FAIL","data":"y"})") << "an empty name adds nothing";
}

TEST(Stream, ValuesAndBoxesAppendCopies) {
  Doc doc(u"[]");
  Doc other(uR"({"k":[1]})");
  const TJSONBox back = TJSONStream(doc.box) <= 5 <= JSONObject(u"{}") <= other.box <= u"s";
  EXPECT_EQ(back.Content, doc.box.Content);
  other.box.Put(u"k", 0);
  EXPECT_EQ(doc.Compact(), uR"([5,{},{"k":[1]},"s"])");
}

TEST(Stream, TheWrongContainerWritesNothing) {
  Doc object(u"{}");
  Doc array(u"[]");
  EXPECT_EQ(MessageOf([&] { TJSONStream(object.box) <= 5; }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { TJSONStream(object.box) <= array.box; }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { TJSONStream(array.box) <= JSONPair(u"a", 1); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { TJSONStream(array.box) <= TJSONBox(); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { TJSONStream(array.box) <= Variant::Date(0); }), u"Type mismatch");
  EXPECT_EQ(object.Compact() + array.Compact(), u"{}[]");
}

TEST(BoxCheck, RaisesOnlyWhenChecking) {
  TJSONBox failed;
  failed.Error = jbeIndexOutOfBounds;
  failed.Index = 7;
  EXPECT_EQ(MessageOf([&] { JSONBoxCheck(failed); }), u"Index out of bounds (7)");
  EXPECT_EQ(Unchecked([&] { return JSONBoxCheck(failed); }).Index, 7);
  failed.Error = jbeNone;
  EXPECT_EQ(JSONBoxCheck(failed).Index, 7);
}

}  // namespace
}  // namespace velto
