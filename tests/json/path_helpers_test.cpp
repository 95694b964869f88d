#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Doc;
using testing::MessageOf;

struct PathCase {
  std::u16string text;
  int32_t count;
  std::u16string parent;
  std::u16string last;
};

class PathSplit : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathSplit, CutsAtDotsAndDropsEmptyItems) {
  const TJSONPath path(GetParam().text);
  EXPECT_EQ(path.Count(), GetParam().count);
  EXPECT_EQ(path.Parent(), GetParam().parent);
  EXPECT_EQ(path.Last(), GetParam().last);
  EXPECT_EQ(MessageOf([&] { path.Items(path.Count()); }), u"Argument out of range");
  EXPECT_EQ(MessageOf([&] { path.Items(-1); }), u"Argument out of range");
}

INSTANTIATE_TEST_SUITE_P(Table, PathSplit,
                         ::testing::Values(PathCase{u"a.b.c", 3, u"a.b", u"c"},
                                           PathCase{u"a", 1, u"", u"a"}, PathCase{u"", 0, u"", u""},
                                           PathCase{u"...", 0, u"", u""},
                                           PathCase{u".a..b.", 2, u"a", u"b"}),
                         testing::NamedBy<&PathCase::text>());

TEST(ObjectHelper, WalksOnlyThroughObjects) {
  Doc doc(uR"({"a":{"b":{"c":1}},"l":[{"b":1}]})");
  JSONValue* root = doc.box.Content;
  EXPECT_EQ(TJSONObjectHelper::GetParent(root, TJSONPath(u"a.b")), doc.box[u"a"].Content);
  EXPECT_EQ(TJSONObjectHelper::GetParent(root, TJSONPath(u"l.b")), nullptr);
  EXPECT_EQ(TJSONObjectHelper::GetParent(root, TJSONPath(u"x")), root);
  EXPECT_EQ(TJSONObjectHelper::GetValue(root, TJSONPath(u"a.b.c")), doc.box[u"a.b.c"].Content);
  EXPECT_TRUE(TJSONObjectHelper::Exists(root, u"a.b"));
  EXPECT_FALSE(TJSONObjectHelper::Exists(nullptr, u"a"));
  EXPECT_EQ(TJSONObjectHelper::GetPair(root, u"l")->Name, u"l");
  EXPECT_EQ(TJSONObjectHelper::GetPair(nullptr, u"l"), nullptr);
}

TEST(ObjectHelper, ReportsInsteadOfRaising) {
  Doc doc(uR"({"n":7})");
  JSONValue* root = doc.box.Content;
  const TJSONBox missingParent = TJSONObjectHelper::Put(root, u"x.y", 1);
  EXPECT_EQ(missingParent.Error, jbePathNotFound);
  EXPECT_EQ(missingParent.Path, u"x.y");
  EXPECT_EQ(TJSONObjectHelper::Get(nullptr, u"n").Error, jbeTypeMismatch);
  EXPECT_EQ(TJSONObjectHelper::Put(root, u"y", 2).Error, jbeNone);
  TJSONObjectHelper::Delete(root, u"zz");
  TJSONObjectHelper::Delete(nullptr, u"n");
  TJSONObjectHelper::PutValue(root, u"", JSONValue::Null());
  const TJSONBox unnamed = TJSONObjectHelper::Put(root, u"..", 1);
  EXPECT_EQ(unnamed.Error, jbeNone);
  EXPECT_EQ(unnamed.Content, nullptr) << "nothing was added";
  EXPECT_EQ(doc.Compact(), uR"({"n":7,"y":2})");
  EXPECT_DOUBLE_EQ(TJSONObjectHelper::Get(root, u"n", 0.5), 7);
  EXPECT_EQ(TJSONObjectHelper::Get(root, u"n", u"d"), u"d");
}

TEST(ArrayHelper, PutPushGetAndDelete) {
  Doc doc(u"[1,2,7.5]");
  JSONValue* list = doc.box.Content;
  const TJSONBox outside = TJSONArrayHelper::Put(list, 3, u"x");
  EXPECT_EQ(outside.Error, jbeIndexOutOfBounds);
  EXPECT_EQ(outside.Index, 3);
  EXPECT_EQ(TJSONArrayHelper::Put(list, -5, u"e").Index, 3);
  EXPECT_EQ(TJSONArrayHelper::Put(nullptr, 1, 0).Error, jbeTypeMismatch);
  EXPECT_EQ(TJSONArrayHelper::Push(nullptr, 0).Index, -1);
  EXPECT_EQ(TJSONArrayHelper::Get(list, 9).Parent, list);
  EXPECT_EQ(TJSONArrayHelper::Get(nullptr, 9).Error, jbeTypeMismatch);
  EXPECT_DOUBLE_EQ(TJSONArrayHelper::Get(list, 1, 0.5), 0.5) << "an integer element";
  EXPECT_DOUBLE_EQ(TJSONArrayHelper::Get(list, 2, 0.5), 7.5);
  TJSONArrayHelper::PutValue(list, 0, JSONValue::Boolean(true));
  TJSONArrayHelper::Delete(list, 1);
  EXPECT_EQ(doc.Compact(), uR"([true,7.5,"e"])");
  EXPECT_TRUE(TJSONArrayHelper::Exists(list, 2));
  EXPECT_FALSE(TJSONArrayHelper::Check(list, 3));
}

TEST(ValueHelper, ChecksKindsWithNumbersPassingAsStrings) {
  Doc doc(uR"([1,"s",true,null,{},[]])");
  auto at = [&](int32_t i) { return doc.box[i].Content; };
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::String>(at(0)), at(0));
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::String>(at(1)), at(1));
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::Number>(at(1)), nullptr);
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::Boolean>(at(2)), at(2));
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::Object>(at(3)), nullptr);
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::Object>(at(4)), at(4));
  EXPECT_EQ(TJSONValueHelper::Check<JSONType::Array>(nullptr), nullptr);
  EXPECT_TRUE(TJSONValueHelper::Dependent(at(5)));
}

}  // namespace
}  // namespace velto
