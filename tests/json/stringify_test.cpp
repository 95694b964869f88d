#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Doc;
using testing::ScopedSettings;

// Written while this program's statics are made, in whatever order the linker chose: the
// settings must already hold their load values.
const std::u16string kWrittenAtLoad = [] {
  TJSONBox box = TJSONBox::Create(JSONObject(uR"({"a":[1]})"));
  JSONRootGuard guard(box);
  return box.Stringify() + box[u"missing"].AsString() + (box[u"a"].Count() == 1 ? u"1" : u"?");
}();

struct Escape {
  std::u16string text;
  std::u16string written;
};

class StringEscape : public ::testing::TestWithParam<Escape> {};

TEST_P(StringEscape, WritesPureAscii) {
  TJSONBox box = TJSONBox::Create(GetParam().text);
  JSONRootGuard guard(box);
  EXPECT_EQ(box.Stringify(), u"\"" + GetParam().written + u"\"");
}

INSTANTIATE_TEST_SUITE_P(Table, StringEscape,
                         ::testing::Values(Escape{u"/\"\r\n작업", uR"(\/\"\r\n\uC791\uC5C5)"},
                                           Escape{u"\b\t\f\\", uR"(\b\t\f\\)"},
                                           Escape{std::u16string(u"\0\x1F", 2), uR"(\u0000\u001F)"},
                                           Escape{u"\x7F\x80\xFF", u"\x7F\\u0080\\u00FF"},
                                           Escape{u"😀", uR"(\uD83D\uDE00)"},
                                           Escape{u"\xDC00", uR"(\uDC00)"},
                                           Escape{u" ~'plain'", u" ~'plain'"}, Escape{u"", u""}),
                         testing::NamedBy<&Escape::written>());

TEST(Stringify, SettingsHoldTheirLoadValuesForStaticInitialisers) {
  EXPECT_EQ(kWrittenAtLoad, u"{\r\n  \"a\": [\r\n    1\r\n  ]\r\n}1");
  EXPECT_TRUE(TJSONBox::Check);
}

TEST(Stringify, IndentedLayout) {
  Doc doc(uR"({"a":1,"b":["x","y"],"e":{},"l":[],"o":{"p":null,"q":[true]}})");
  EXPECT_EQ(doc.box.Stringify(),
            u"{\r\n"
            u"  \"a\": 1,\r\n"
            u"  \"b\": [\r\n"
            u"    \"x\",\r\n"
            u"    \"y\"\r\n"
            u"  ],\r\n"
            u"  \"e\": {},\r\n"
            u"  \"l\": [],\r\n"
            u"  \"o\": {\r\n"
            u"    \"p\": null,\r\n"
            u"    \"q\": [\r\n"
            u"      true\r\n"
            u"    ]\r\n"
            u"  }\r\n"
            u"}");
  Doc empty(u"{}");
  EXPECT_EQ(empty.box.Stringify(), u"{}");
  EXPECT_EQ(TJSONBox().Stringify(), u"");
}

TEST(Stringify, MarginUnitIsASetting) {
  ScopedSettings restore;
  Doc doc(uR"({"a":[],"b":{"c":[1,{"d":"/"}]}})");
  TJSONStringifier::Margin() = u"";
  EXPECT_EQ(doc.box.Stringify(), uR"({"a":[],"b":{"c":[1,{"d":"\/"}]}})");
  TJSONStringifier::Margin() =
      std::u16string(1, u'\t');  // not a literal: g++ 12 -Wrestrict misfires
  EXPECT_EQ(doc.box.Stringify(),
            u"{\r\n\t\"a\": [],\r\n\t\"b\": {\r\n\t\t\"c\": [\r\n\t\t\t1,\r\n\t\t\t{\r\n"
            u"\t\t\t\t\"d\": \"\\/\"\r\n\t\t\t}\r\n\t\t]\r\n\t}\r\n}");
}

TEST(Stringify, WithMarginIndentsInnerLinesOnly) {
  Doc doc(uR"({"a":[1]})");
  std::u16string builder = u"> ";
  JSONStringifyWithMargin(builder, doc.box.Content, u"    ");
  EXPECT_EQ(builder, u"> {\r\n      \"a\": [\r\n        1\r\n      ]\r\n    }");
}

TEST(Stringify, TopLevelScalarsAreCompactInBothModes) {
  ScopedSettings restore;
  for (const char16_t* margin : {u"  ", u""}) {
    TJSONStringifier::Margin() = margin;
    for (const auto& [value, text] : std::initializer_list<std::pair<Variant, std::u16string>>{
             {u"s", u"\"s\""}, {7, u"7"}, {true, u"true"}}) {
      TJSONBox box = TJSONBox::Create(value);
      JSONRootGuard guard(box);
      EXPECT_EQ(box.Stringify(), text);
    }
    Doc doc(u"[null]");
    EXPECT_EQ(doc.box[0].Stringify(), u"null");
  }
}

TEST(Stringify, OnExecuteReplacesTheWriter) {
  ScopedSettings restore;
  int calls = 0;
  TJSONStringifier::OnExecute() = [&calls](const JSONValue* value) {
    ++calls;
    return value->IsObject() ? std::u16string(u"object") : std::u16string(u"other");
  };
  Doc doc(uR"({"a":[]})");
  EXPECT_EQ(doc.box.Stringify(), u"object");
  EXPECT_EQ(doc.box[u"a"].Stringify(), u"other");
  EXPECT_EQ(TJSONStringifier::Execute(doc.box.Content), u"object");
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(JSONStringify(doc.box.Content), u"{\r\n  \"a\": []\r\n}") << "the writer itself";
}

}  // namespace
}  // namespace velto
