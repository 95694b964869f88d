#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "small_stack_thread.h"
#include "velto/json_box.h"

namespace velto {
namespace {

constexpr size_t kSmallStack = 256 * 1024;
constexpr int kDeep = 100000;
// Indented text grows with the square of the depth; this is still far beyond what a recursive
// writer survives on the small stack.
constexpr int kDeepIndented = 3000;

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

TEST(JsonDeepNesting, IndentedWriteOnSmallStack) {
  testing::RunWithStack(kSmallStack, [] {
    const auto parsed = JSONArray(NestedArrays(kDeepIndented));
    const std::u16string text = JSONStringify(parsed->Get());
    const std::u16string innermost = std::u16string(2 * (kDeepIndented - 1), u' ') + u"[]\r\n";
    EXPECT_TRUE(text.starts_with(u"[\r\n  [\r\n    ["));
    EXPECT_NE(text.find(u"\r\n" + innermost), std::u16string::npos);
    EXPECT_TRUE(text.ends_with(u"\r\n  ]\r\n]"));
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
