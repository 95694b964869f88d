#include "velto/server_reply.h"

#include <gtest/gtest.h>

#include "velto/content_type.h"
#include "velto/key.h"
#include "velto/unicode.h"

namespace velto {
namespace {

std::u16string CheckMessage(std::u16string_view reply) {
  try {
    ReadReplyValue(reply, [](const TJSONBox&) {});
  } catch (const Exception& error) {
    return error.Message();
  }
  return u"passed";
}

TEST(EVeltoCheck, PassesCode100AndReadsCodeAndMessageOtherwise) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {uR"({"code":"100","message":"OK"})", u"passed"},
      {uR"({"code":100})", u"passed"},  // a number's text form
      {uR"({"code":"301","message":"Not found"})", u"[301] Not found"},
      {uR"({"code":"200","message":"x"})", u"[200] x"},
      {uR"({"code":"301"})", u"[301] "},
      {uR"({"code":100.0})", u"passed"},      // the text form of 100.0 is 100
      {uR"({"code":"100.0"})", u"[100.0] "},  // a string is taken as it is
      {uR"({"message":"no code"})", u"[] no code"},
      {uR"({"code":true,"message":"작업"})", u"[] 작업"},
      {u"", u"Type mismatch"},  // an empty 204 body
      {u"[]", u"Type mismatch"},
      {uR"({"code":"100"} x)", u"Type mismatch"},
  };
  for (const auto& [reply, message] : cases) {
    EXPECT_EQ(CheckMessage(reply), message) << Utf16ToUtf8(reply);
  }
}

TEST(EVeltoCheck, KeepsCodeAndServerMessage) {
  try {
    ReadReplyValue(uR"({"code":"301","message":"gone"})", [](const TJSONBox&) {});
    FAIL() << "no EVelto";
  } catch (const EVelto& error) {
    EXPECT_EQ(error.Code(), u"301");
    EXPECT_EQ(error.ServerMessage(), u"gone");
  }
}

TEST(ToKey, ReadsIdAndUserIdAsText) {
  struct Case {
    std::u16string value;
    std::u16string user_id;
    std::u16string id;
  } cases[] = {
      {uR"({"userId":"u1","id":"k1"})", u"u1", u"k1"},
      {uR"({"id":42})", u"", u"42"},
      {uR"({"ID":"upper","userid":"lower"})", u"", u""},  // names match exactly
      {uR"({"id":null,"userId":true})", u"", u""},
      {uR"({"id":{"a":1},"userId":[1]})", u"", u""},
  };
  for (const Case& c : cases) {
    const TVeltoKey key = ReadReplyValue(uR"({"code":"100","value":)" + c.value + u"}", ToKey);
    EXPECT_EQ(key.UserId, c.user_id) << Utf16ToUtf8(c.value);
    EXPECT_EQ(key.Id, c.id) << Utf16ToUtf8(c.value);
  }
  for (const std::u16string value : {u"\"k\"", u"[]", u"null"}) {
    EXPECT_THROW(ReadReplyValue(uR"({"code":"100","value":)" + value + u"}", ToKey), ETypeMismatch);
  }
  EXPECT_THROW(ReadReplyValue(uR"({"code":"100"})", ToKey), ETypeMismatch);
}

TEST(CharsetOf, FindsTheParameterInAnyCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"text/html; charset=EUC-KR", "EUC-KR"},
      {"application/json;charset=\"utf-8\"", "utf-8"},
      {"text/plain; format=flowed; CharSet = iso-8859-1 ", "iso-8859-1"},
      {"application/json", ""},
      {"", ""},
  };
  for (const auto& [content_type, charset] : cases) {
    EXPECT_EQ(CharsetOf(content_type), charset) << content_type;
  }
}

}  // namespace
}  // namespace velto
