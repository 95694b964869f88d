#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Doc;
using testing::MessageOf;
using testing::Unchecked;

// The C++ types a Variant is made from; pointers other than text must not turn into booleans.
static_assert(std::is_convertible_v<size_t, Variant>);
static_assert(std::is_convertible_v<std::u16string_view, Variant>);
static_assert(std::is_convertible_v<std::shared_ptr<IJSONPair>, Variant>);
static_assert(!std::is_convertible_v<const JSONValue*, Variant>);
static_assert(!std::is_convertible_v<int*, Variant>);

struct MadeValue {
  const char* name;
  Variant value;
  std::u16string json;  // compact text of the made value, or empty when it is refused
};

class ValueFromVariant : public ::testing::TestWithParam<MadeValue> {};

TEST_P(ValueFromVariant, MakesTheNumberStringOrValue) {
  const MadeValue& c = GetParam();
  Doc doc(u"{}");
  if (c.json.empty()) {
    EXPECT_EQ(MessageOf([&] { doc.box.Put(u"a", c.value); }), u"Type mismatch");
    EXPECT_EQ(doc.Compact(), u"{}") << "a refused value writes nothing";
  } else {
    doc.box.Put(u"a", c.value);
    EXPECT_EQ(doc.Compact(), u"{\"a\":" + c.json + u"}");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueFromVariant,
    ::testing::Values(MadeValue{"int8", int8_t{-8}, u"-8"},
                      MadeValue{"int16", int16_t{-16}, u"-16"},
                      MadeValue{"int32", int32_t{-32}, u"-32"},
                      MadeValue{"int64", int64_t{-1234567890123456789}, u"-1234567890123456789"},
                      MadeValue{"uint8", uint8_t{255}, u"255"},
                      MadeValue{"uint16", uint16_t{65535}, u"65535"},
                      MadeValue{"uint32", uint32_t{4294967295u}, u"4294967295"},
                      MadeValue{"uint64", uint64_t{1}, u""}, MadeValue{"single", 0.25f, u"0.25"},
                      MadeValue{"double one", 1.0, u"1"}, MadeValue{"double", 1.5e20, u"1.5E20"},
                      MadeValue{"small", 0.00000015, u"1.5E-7"}, MadeValue{"tenth", 0.1, u"0.1"},
                      MadeValue{"currency", Variant::Currency(12.34567), u"12.3457"},
                      MadeValue{"date", Variant::Date(45000), u""},
                      MadeValue{"nan", std::numeric_limits<double>::quiet_NaN(), u""},
                      MadeValue{"infinity", std::numeric_limits<double>::infinity(), u""},
                      MadeValue{"unicode", u"x/y", u"\"x\\/y\""},
                      MadeValue{"wide", Variant::WideString(u"w"), u"\"w\""},
                      MadeValue{"narrow utf8", "\xEC\x9E\x91", u"\"\\uC791\""},
                      MadeValue{"true", true, u"true"}, MadeValue{"false", false, u"false"},
                      MadeValue{"object handle", JSONObject(uR"({"b":[1]})"), u"{\"b\":[1]}"},
                      MadeValue{"array handle", JSONArray(u"[]"), u"[]"},
                      MadeValue{"pair handle", JSONPair(u"b", 1), u""},
                      MadeValue{"empty", Variant(), u""}, MadeValue{"null", Variant::Null(), u""},
                      MadeValue{"error", Variant::OfKind(VariantKind::Error), u""},
                      MadeValue{"dispatch", Variant::OfKind(VariantKind::Dispatch), u""},
                      MadeValue{"nested", Variant::OfKind(VariantKind::NestedVariant), u""},
                      MadeValue{"array", Variant::OfKind(VariantKind::Array), u""}),
    [](const auto& row) { return testing::CaseName(row.param.name); });

TEST(BoxPut, ReplacesInPlaceOrAppendsAndNeverMakesParents) {
  Doc doc(uR"({"a":1,"o":{},"n":5})");
  const TJSONBox replaced = doc.box.Put(u"a", u"x");
  EXPECT_EQ(replaced.Path, u"a");
  EXPECT_EQ(replaced.Parent, doc.box.Content);
  EXPECT_EQ(replaced.Index, -1);
  EXPECT_EQ(replaced.AsString(), u"x");
  doc.box.Put(u"o.b", true);
  doc.box.Put(u"z", 2);
  EXPECT_EQ(doc.Compact(), uR"({"a":"x","o":{"b":true},"n":5,"z":2})");

  EXPECT_EQ(MessageOf([&] { doc.box.Put(u"x.y", 1); }), u"Path was not found");
  EXPECT_EQ(MessageOf([&] { doc.box.Put(u"n.y", 1); }), u"Path was not found");
  const TJSONBox failed = Unchecked([&] { return doc.box.Put(u"x.y", Variant::Date(1)); });
  EXPECT_EQ(failed.Error, jbePathNotFound) << "the walk fails before the value is made";
  EXPECT_EQ(failed.Path, u"x.y");
  EXPECT_EQ(failed.Parent, doc.box.Content);
  EXPECT_EQ(doc.Compact(), uR"({"a":"x","o":{"b":true},"n":5,"z":2})");
}

TEST(BoxPut, OnTheWrongContainerIsATypeMismatch) {
  Doc array(u"[1]");
  Doc object(u"{}");
  EXPECT_EQ(MessageOf([&] { array.box.Put(u"x", 1); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { object.box.Put(0, 1); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { object.box.Push(1); }), u"Type mismatch");
  const TJSONBox byIndex = Unchecked([&] { return object.box.Put(3, 1); });
  EXPECT_EQ(byIndex.Error, jbeTypeMismatch);
  EXPECT_EQ(byIndex.Index, 3);
  EXPECT_EQ(byIndex.Parent, nullptr);
}

TEST(BoxPut, ByIndexReplacesAppendsOrRefuses) {
  Doc doc(u"[1,2,3]");
  EXPECT_EQ(doc.box.Put(1, u"b").Index, 1);
  const TJSONBox appended = doc.box.Put(-5, u"e");
  EXPECT_EQ(appended.Index, 3);
  EXPECT_EQ(doc.Compact(), uR"([1,"b",3,"e"])");
  EXPECT_EQ(MessageOf([&] { doc.box.Put(4, 0); }), u"Index out of bounds (4)");
  EXPECT_EQ(MessageOf([&] { doc.box.Put(5, 0); }), u"Index out of bounds (5)");
  const TJSONBox refused = Unchecked([&] { return doc.box.Put(4, 0); });
  EXPECT_EQ(refused.Error, jbeIndexOutOfBounds);
  EXPECT_EQ(refused.Parent, doc.box.Content);
  EXPECT_EQ(doc.Compact(), uR"([1,"b",3,"e"])");
}

TEST(BoxPush, AppendsOneOrManyAndIgnoresManyOnAnObject) {
  Doc array(u"[]");
  EXPECT_EQ(array.box.Push(1).Index, 0);
  EXPECT_EQ(array.box.Push({u"a", true, 2.5}).Content, array.box.Content);
  EXPECT_EQ(array.Compact(), uR"([1,"a",true,2.5])");
  Doc object(u"{}");
  EXPECT_NO_THROW(object.box.Push({1, 2}));
  EXPECT_EQ(object.Compact(), u"{}");
}

TEST(BoxDelete, RemovesByPathOrIndexAndIgnoresWhatIsNotThere) {
  Doc doc(uR"({"a":{"b":1,"c":2},"l":[1,2,3]})");
  doc.box.Delete(u"a.b");
  doc.box.Delete(u"a.x");
  doc.box.Delete(u"x.b");
  doc.box[u"l"].Delete(1);
  doc.box[u"l"].Delete(7);
  doc.box.Delete(0);
  EXPECT_EQ(doc.Compact(), uR"({"a":{"c":2},"l":[1,3]})");
}

TEST(BoxFill, NullEmptiesAFailureKeepsAViewDetaches) {
  TJSONBox root = TJSONBox::Create(JSONObject(uR"({"a":{"b":1}})"));
  JSONRootGuard guard(root);
  TJSONBox view = root[u"a"];
  view.Fill(u"own");
  EXPECT_EQ(view.Parent, nullptr);
  EXPECT_EQ(root[u"a.b"].AsInteger(), 1) << "the document keeps its value";
  JSONRootGuard viewGuard(view);

  EXPECT_EQ(MessageOf([&] { root.Fill(Variant::Date(1)); }), u"Type mismatch");
  EXPECT_EQ(root[u"a.b"].AsInteger(), 1);
  root.Fill(Variant::Null());
  EXPECT_TRUE(root.Empty());
  EXPECT_EQ(root.Kind(), jbkNull);
  EXPECT_EQ(root.Stringify(), u"");
}

TEST(BoxFree, EmptiesEveryBoxAndOnlyARootDestroys) {
  TJSONBox root = TJSONBox::Create(JSONArray(u"[[1]]"));
  TJSONBox view = root[0];
  view.Free();
  EXPECT_TRUE(view.Empty());
  EXPECT_EQ(view.Index, -1);
  EXPECT_EQ(root[0][0].AsInteger(), 1);
  root.Free();
  EXPECT_TRUE(root.Empty());
  EXPECT_EQ(root.Parent, nullptr);
}

TEST(BoxAssign, VariantCreatesOrReplacesThePlace) {
  Doc doc(uR"({"l":[1,2]})");
  doc.box[u"name"] <= u"text";
  doc.box[u"name"] <= u"again";
  doc.box[u"l"][1] <= false;
  EXPECT_EQ(doc.Compact(), uR"({"l":[1,false],"name":"again"})");
  EXPECT_EQ(MessageOf([&] { doc.box <= 1; }), u"Type mismatch");
  EXPECT_EQ(Unchecked([&] { return MessageOf([&] { doc.box <= 1; }); }), u"Type mismatch")
      << "whatever Check says";
  EXPECT_EQ(MessageOf([&] { doc.box[u"x.y"] <= 1; }), u"Path was not found");
}

TEST(BoxAssign, BoxWritesADeepCopyAndLeavesTheRightAlone) {
  Doc target(uR"({"l":[0]})");
  Doc source(uR"({"s":{"k":[1,2]}})");
  const TJSONBox copied = target.box[u"c"] <= source.box[u"s"];
  EXPECT_EQ(copied.Path, u"c");
  EXPECT_EQ(copied.Error, jbeNone);
  target.box[u"l"][0] <= source.box;
  source.box.Put(u"s.k", 0);
  EXPECT_EQ(target.Compact(), uR"({"l":[{"s":{"k":[1,2]}}],"c":{"k":[1,2]}})");
  EXPECT_EQ(source.Compact(), uR"({"s":{"k":0}})");
  EXPECT_EQ(MessageOf([&] { target.box[u"d"] <= source.box[u"missing"]; }), u"Type mismatch");
}

// A box written into the array place of index -1 is appended, and the result names the place as
// it was asked for; a Variant written there appends as Push does and names the new element.
TEST(BoxAssign, BoxIntoTheAppendPlaceReportsIndexMinusOne) {
  Doc target(u"[0]");
  Doc source(uR"({"k":1})");
  const TJSONBox place = Unchecked([&] { return target.box[-1]; });
  const TJSONBox copied = place <= source.box;
  EXPECT_EQ(copied.Index, -1);
  EXPECT_EQ(copied.Parent, target.box.Content);
  EXPECT_EQ(copied.Error, jbeNone);
  ASSERT_NE(copied.Content, nullptr);
  EXPECT_EQ(testing::Compact(copied), uR"({"k":1})");
  EXPECT_EQ((place <= 2).Index, 2);
  EXPECT_EQ(target.Compact(), uR"([0,{"k":1},2])");
}

}  // namespace
}  // namespace velto
