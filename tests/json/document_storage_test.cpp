// Documents keep their values, texts and lists in shared chunks; these cases move parts between
// documents, outgrow what parsing sized, and reach past the chunk sizes.

#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Compact;
using testing::Doc;

std::u16string Repeated(std::u16string_view piece, size_t count) {
  std::u16string text;
  for (size_t i = 0; i < count; ++i) text += piece;
  return text;
}

// Text and list sizes on both sides of the chunk sizes, the first block of a document included.
TEST(DocumentStorage, LargeTextsAndListsRoundTrip) {
  for (const size_t size : {1, 2000, 2100, 5000, 40000, 70000, 600000}) {
    SCOPED_TRACE(size);
    const std::u16string text = u"[\"" + std::u16string(size, u'x') + u"\",{\"" +
                                std::u16string(size, u'k') + u"\":0." + std::u16string(size, u'7') +
                                u"}," + Repeated(u"1,", size / 2) + u"[" +
                                Repeated(u"{\"a\":1},", size / 8) + u"{}]]";
    Doc doc(text);
    EXPECT_EQ(doc.Compact(), text);
    Doc holder(u"[0]");
    const TJSONBox copy = holder.box[0] <= doc.box;
    copy.Push(u"more");
    EXPECT_EQ(Compact(copy), text.substr(0, text.size() - 1) + u",\"more\"]");
  }
}

// Short texts are copied by length class; every length up to past the largest class, as names
// (kept in place up to ten units) and as values.
TEST(DocumentStorage, ShortTextsOfEveryLengthRoundTrip) {
  std::u16string text = u"{";
  for (size_t size = 0; size <= 20; ++size) {
    std::u16string units;
    for (size_t i = 0; i < size; ++i) units += static_cast<char16_t>(u'a' + i);
    text += u"\"" + units + u"\":[\"" + units + u"\",1" + std::u16string(size, u'0') + u"],";
  }
  text.back() = u'}';
  Doc doc(text);
  EXPECT_EQ(doc.Compact(), text);
  Doc holder(u"[0]");
  EXPECT_EQ(Compact(holder.box[0] <= doc.box), text);
}

TEST(DocumentStorage, ValuesCopiedIntoAnotherDocumentOutliveTheirSource) {
  TJSONBox target = TJSONBox::Create(JSONObject(uR"({"keep":"a text longer than a block"})"));
  JSONRootGuard guard(target);
  {
    Doc source(uR"({"s":{"name":"value long enough to need its own room","l":[1,[2,"three"]]}})");
    target[u"copied"] <= source.box[u"s"];
    target.Put(u"handle", JSONObject(uR"({"h":["from a handle that dies right away"]})"));
  }
  const TJSONBox list = target[u"copied"][u"l"];
  list.Push(4);
  list[1].Push(u"five");
  EXPECT_EQ(Compact(target),
            uR"({"keep":"a text longer than a block","copied":{"name":"value long enough to need )"
            uR"(its own room","l":[1,[2,"three","five"],4]},"handle":{"h":["from a handle that )"
            uR"(dies right away"]}})");
}

TEST(DocumentStorage, ParsedListsGrowShrinkAndHaveMembersReplacedMany) {
  Doc doc(uR"({"list":[1,2,3],"object":{"a":"first value of a","b":2},"s":"x"})");
  const TJSONBox list = doc.box[u"list"];
  const TJSONBox first = list[0];
  const Variant pushed(7);
  for (int i = 0; i < 1000; ++i) list.Push(pushed);
  EXPECT_EQ(first.AsInteger(), 1) << "values stay where they are when their list grows";
  for (int i = 0; i < 1000; ++i) list.Delete(3);
  std::u16string replacement = u"replacement number a";
  std::u16string name = u"object.na";
  for (int i = 0; i < 200; ++i) {
    replacement.back() = name.back() = static_cast<char16_t>(u'a' + i % 26);
    doc.box.Put(u"object.a", Variant(replacement));
    doc.box[u"object"][u"b"] <= doc.box[u"list"];
    doc.box.Put(name, Variant(i));
  }
  doc.box.Delete(u"s");
  doc.box.Delete(u"object.b");
  EXPECT_EQ(doc.box[u"object"][u"a"].AsString(), u"replacement number r");
  EXPECT_EQ(doc.box[u"object"][u"nz"].AsInteger(), 181);
  EXPECT_EQ(doc.Compact().substr(0, 52),
            uR"({"list":[1,2,3],"object":{"a":"replacement number r")");
}

}  // namespace
}  // namespace velto
