#include "velto/records.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "velto/typed_request.h"
#include "velto/unicode.h"

namespace velto {
namespace {

std::u16string Indented(std::u16string_view compact) {
  TJSONBox box = TJSONBox::Create(JSONObject(compact));
  JSONRootGuard guard(box);
  return box.Stringify();
}

template <class Record>
Record Parsed(std::u16string_view compact, Record (*reader)(const TJSONBox&)) {
  TJSONBox box = TJSONBox::Create(JSONObject(compact));
  JSONRootGuard guard(box);
  return reader(box);
}

// A record written, and the same record written again after reading its object back.
struct WireCase {
  std::string record;
  std::u16string written;
  std::u16string rewritten;
  std::u16string expected;            // compact; members in wire order
  std::u16string expected_rewritten;  // compact; empty when the same as expected
};

template <class Record>
WireCase Wire(std::string name, const Record& record, Record (*reader)(const TJSONBox&),
              std::u16string expected, std::u16string expected_rewritten = u"") {
  const std::u16string written = RequestText(record);
  const std::u16string rewritten = RequestText(Parsed(written, reader));
  return {std::move(name), written, rewritten, std::move(expected), std::move(expected_rewritten)};
}

TEST(Records, WriteEveryMemberInWireOrderAndReadThemBack) {
  const WireCase cases[] = {
      Wire("user", TVeltoUser{u"u1", u"pw", u"Kim", u"admin"}, ToUser,
           uR"({"id":"u1","password":"pw","name":"Kim","roles":"admin"})"),
      Wire("user card", TVeltoUserCard{u"c1", u"u1"}, ToUserCard, uR"({"id":"c1","userId":"u1"})"),
      Wire("site", TVeltoSite{u"s1", u"Clinic", u"f9"}, ToSite, uR"({"id":"s1","name":"Clinic"})"),
      Wire("person", TVeltoPerson{u"s1", u"p1", u"Lee", u"F", u"19800101", u"010", u"2025"},
           ToPerson,
           uR"({"siteId":"s1","id":"p1","name":"Lee","gender":"F","birth":"19800101",)"
           uR"("phone":"010","consentTime":"2025"})"),
      Wire("issue", TVeltoIssue{u"s1", u"p1", u"i1", u"Report", u"20251231"}, ToIssue,
           uR"({"siteId":"s1","personId":"p1","id":"i1","name":"Report","endTime":"20251231"})"),
      Wire("file",
           TVeltoFile{u"s1", u"p1", u"i1", u"f1", u"/a/b", u"hn", u"hd", u"b.png",
                      9007199254740993},  // not exact as a double
           ToFile,
           uR"({"siteId":"s1","personId":"p1","issueId":"i1","id":"f1","path":"/a/b",)"
           uR"("hlscName":"hn","hlscDate":"hd","fileName":"b.png","fileSize":9007199254740993})"),
      Wire("empty file", TVeltoFile{}, ToFile,
           uR"({"siteId":"","personId":"","issueId":"","id":"","path":"","hlscName":"",)"
           uR"("hlscDate":"","fileName":"","fileSize":0})"),
      Wire("portal", TVeltoPortal{u"s1", u"p1", u"g1", u"Gate", u"20260101"}, ToPortal,
           uR"({"siteId":"s1","personId":"p1","id":"g1","name":"Gate","endTime":"20260101"})"),
      Wire("message",
           TVeltoMessage{u"s1", u"p1", u"cm", u"mt", u"rt", u"st", u"dp", u"sp", u"body", u"tc",
                         u"sk", u"82", u"ret", u"reb"},
           ToMessage,
           uR"({"siteId":"s1","personId":"p1","cmid":"cm","msgType":"mt","rquestTime":"rt",)"
           uR"("sendTime":"st","destPhone":"dp","sendPhone":"sp","msgBody":"body",)"
           uR"("templateCode":"tc","senderKey":"sk","nationCode":"82","reType":"ret",)"
           uR"("reBody":"reb"})",
           // Requests name the time "rquestTime", replies "requestTime": it is lost on the way.
           uR"({"siteId":"s1","personId":"p1","cmid":"cm","msgType":"mt","rquestTime":"",)"
           uR"("sendTime":"st","destPhone":"dp","sendPhone":"sp","msgBody":"body",)"
           uR"("templateCode":"tc","senderKey":"sk","nationCode":"82","reType":"ret",)"
           uR"("reBody":"reb"})"),
      Wire("billing",
           TVeltoBilling{u"cc", u"s1", u"p1", u"b1", u"SMS", u"text", u"rt", u"20250109"},
           ToBilling,
           uR"({"classCd":"cc","siteId":"s1","personId":"p1","id":"b1","name":"SMS",)"
           uR"("contents":"text","regTime":"rt","billingDate":"20250109"})"),
  };
  for (const WireCase& c : cases) {
    EXPECT_EQ(c.written, Indented(c.expected)) << c.record;
    const std::u16string& rewritten =
        c.expected_rewritten.empty() ? c.expected : c.expected_rewritten;
    EXPECT_EQ(c.rewritten, Indented(rewritten)) << c.record;
  }
}

TEST(Records, WriteIndentedTextInTableOrder) {
  EXPECT_EQ(RequestText(TVeltoUser{u"u1", u"", u"\uAE40", u"r"}),
            u"{\r\n  \"id\": \"u1\",\r\n  \"password\": \"\",\r\n  \"name\": \"\\uAE40\",\r\n"
            u"  \"roles\": \"r\"\r\n}");
}

TEST(Records, ReadMembersAsTextWhateverTheirType) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {uR"({"id":"u1"})", u"u1"},
      {uR"({"id":""})", u""},
      {uR"({"id":12})", u"12"},
      {uR"({"id":1.0})", u"1"},
      {uR"({"id":1e2})", u"100"},
      {uR"({"id":-0.5})", u"-0.5"},
      {uR"({"id":null})", u""},
      {uR"({"id":true})", u""},
      {uR"({"id":false})", u""},
      {uR"({"id":{"id":"inner"}})", u""},
      {uR"({"id":["u1"]})", u""},
      {uR"({})", u""},
      {uR"({"ID":"upper","Id":"mixed"})", u""},  // names match exactly
      {uR"({"x":1,"name":"n","id":"last","extra":[]})", u"last"},
  };
  for (const auto& [object, id] : cases) {
    EXPECT_EQ(Parsed(object, ToUser).Id, id) << Utf16ToUtf8(object);
  }
}

TEST(Records, ReadMissingMembersAsEmptyText) {
  const TVeltoUser user = Parsed(uR"({"id":"u1","name":"Kim"})", ToUser);
  EXPECT_EQ(user.Id, u"u1");
  EXPECT_EQ(user.Name, u"Kim");
  EXPECT_EQ(user.Password, u"");
  EXPECT_EQ(user.Roles, u"");

  const TVeltoSite site = Parsed(uR"({"id":7,"name":null,"fileId":true})", ToSite);
  EXPECT_EQ(site.Id, u"7");
  EXPECT_EQ(site.Name, u"");
  EXPECT_EQ(site.FileId, u"");
  EXPECT_EQ(Parsed(uR"({"fileId":"f9"})", ToSite).FileId, u"f9");
}

TEST(Records, ReadFileSizeOnlyFromANumber) {
  const std::pair<std::u16string, int64_t> cases[] = {
      {uR"({"fileSize":2048})", 2048},
      {uR"({"fileSize":-1})", -1},
      {uR"({"fileSize":9223372036854775807})", INT64_MAX},
      {uR"({"fileSize":"2048"})", 0},
      {uR"({"fileSize":null})", 0},
      {uR"({"fileSize":true})", 0},
      {uR"({"fileSize":[2048]})", 0},
      {uR"({"filesize":2048})", 0},
      {uR"({})", 0},
  };
  for (const auto& [object, size] : cases) {
    EXPECT_EQ(Parsed(object, ToFile).FileSize, size) << Utf16ToUtf8(object);
  }
}

TEST(Records, ReadersRefuseABoxWithoutAnObject) {
  const std::vector<std::function<void(const TJSONBox&)>> readers = {
      ToUser, ToUserCard, ToSite, ToPerson, ToIssue, ToFile, ToPortal, ToMessage, ToBilling,
  };
  TJSONBox root = TJSONBox::Create(JSONObject(uR"({"null":null,"text":"t","list":[{}],"n":1})"));
  JSONRootGuard guard(root);
  const TJSONBox boxes[] = {root[u"null"], root[u"text"], root[u"list"],
                            root[u"n"],    root[u"none"], TJSONBox::Create()};
  for (std::size_t r = 0; r < readers.size(); ++r) {
    for (const TJSONBox& box : boxes) {
      try {
        readers[r](box);
        ADD_FAILURE() << "reader " << r << " read " << Utf16ToUtf8(box.Path);
      } catch (const ETypeMismatch& error) {
        EXPECT_EQ(error.Message(), u"Type mismatch");
      }
    }
    EXPECT_NO_THROW(readers[r](root[u"list"][0])) << "reader " << r;
  }
}

}  // namespace
}  // namespace velto
