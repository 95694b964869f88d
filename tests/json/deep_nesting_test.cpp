#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "small_stack_thread.h"
#include "velto/json_box.h"

namespace velto {
namespace {

constexpr size_t kSmallStack = 256 * 1024;
constexpr int kDeep = 100000;
// The levels that indented text lays out on lines of their own.
constexpr int kLaidOutDepth = 100;

std::u16string NestedArrays(int depth) {
  return std::u16string(depth, u'[') + std::u16string(depth, u']');
}

std::u16string NestedObjects(int depth) {
  std::u16string text;
  for (int i = 0; i < depth; ++i) text += u"{\"a\":";
  text += u"1";
  text += std::u16string(depth, u'}');
  return text;
}

// Parses, copies, writes in both forms and destroys `text`, all on the small stack.
void RoundTrip(const std::u16string& text, bool isObject) {
  testing::RunWithStack(kSmallStack, [&] {
    const Variant parsed = isObject ? Variant(JSONObject(text)) : Variant(JSONArray(text));
    TJSONBox copy = TJSONBox::Create(parsed);
    JSONRootGuard guard(copy);
    EXPECT_EQ(testing::Compact(copy), text);
  });
}

TEST(JsonDeepNesting, ArraysParseCopyWriteAndDestroyOnSmallStack) {
  RoundTrip(NestedArrays(kDeep), false);
}

TEST(JsonDeepNesting, ObjectsParseCopyWriteAndDestroyOnSmallStack) {
  RoundTrip(NestedObjects(kDeep), true);
}

TEST(JsonDeepNesting, UnclosedDeepTextIsRefusedOnSmallStack) {
  testing::RunWithStack(kSmallStack, [] {
    EXPECT_THROW(JSONArray(std::u16string(kDeep, u'[')), ETypeMismatch);
    EXPECT_THROW(JSONObject(NestedObjects(kDeep) + u"}"), ETypeMismatch);
  });
}

// Indented text lays out the outer levels and writes what lies deeper on one line: with a
// margin for every level, these 200 kB would be written as 20 GB. The text reads back the same.
TEST(JsonDeepNesting, IndentedWriteOnSmallStack) {
  testing::RunWithStack(kSmallStack, [] {
    const std::u16string compact = NestedArrays(kDeep);
    const auto parsed = JSONArray(compact);
    const std::u16string text = JSONStringify(parsed->Get());
    const auto margin = [](int level) { return std::u16string(2 * level, u' '); };
    const std::u16string deepestLines = u"\r\n" + margin(kLaidOutDepth) +
                                        NestedArrays(kDeep - kLaidOutDepth) + u"\r\n" +
                                        margin(kLaidOutDepth - 1) + u"]\r\n";
    EXPECT_TRUE(text.starts_with(u"[\r\n  [\r\n    ["));
    EXPECT_NE(text.find(deepestLines), std::u16string::npos);
    EXPECT_TRUE(text.ends_with(u"\r\n  ]\r\n]"));
    EXPECT_LT(text.size(), 2 * compact.size());
    TJSONBox again = TJSONBox::Create(JSONArray(text));
    JSONRootGuard guard(again);
    EXPECT_EQ(testing::Compact(again), compact);
  });
}

// Documents built by writes, not only by parsing, are copied, written and destroyed flat.
TEST(JsonDeepNesting, BuiltDocumentsOnSmallStack) {
  testing::RunWithStack(kSmallStack, [] {
    TJSONBox root = TJSONBox::Create(JSONObject());
    JSONRootGuard guard(root);
    TJSONBox place = root;
    for (int i = 0; i < kDeep; ++i) {
      place =
          place.Kind() == jbkObject ? place.Put(u"list", JSONArray()) : place.Push(JSONObject());
    }
    TJSONBox copy = TJSONBox::Create(JSONObject());
    JSONRootGuard copyGuard(copy);
    copy[u"deep"] <= root;
    const std::u16string text = testing::Compact(copy);
    EXPECT_TRUE(text.starts_with(u"{\"deep\":{\"list\":[{\"list\":[{"));
    EXPECT_TRUE(text.ends_with(u"}]}]}}"));
  });
}

}  // namespace
}  // namespace velto
