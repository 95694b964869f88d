#include <gtest/gtest.h>

#include "velto/json_box.h"

namespace velto {
namespace {

TEST(BoxSmoke, ParseReadPutStringify) {
  TJSONBox box =
      TJSONBox::Create(JSONObject(uR"({"code":"100","n":15,"ok":true,"v":{"a":[1,2]}})"));
  JSONRootGuard guard(box);
  EXPECT_EQ(box[u"code"].AsString(), u"100");
  EXPECT_EQ(box[u"n"].AsInteger(), 15);
  EXPECT_TRUE(box[u"ok"].AsBoolean());
  EXPECT_EQ(box[u"v.a"][1].AsInteger(), 2);
  box.Put(u"x", u"작업/\"");
  box[u"y"] <= 5;
  TJSONStream(box) <= JSONPair(u"code", u"SUCCESS");
  EXPECT_EQ(box.Stringify(),
            u"{\r\n  \"code\": \"SUCCESS\",\r\n  \"n\": 15,\r\n  \"ok\": true,\r\n  \"v\": {\r\n"
            u"    \"a\": [\r\n      1,\r\n      2\r\n    ]\r\n  },\r\n"
            u"  \"x\": \"\\uC791\\uC5C5\\/\\\"\",\r\n  \"y\": 5\r\n}");
}

}  // namespace
}  // namespace velto
