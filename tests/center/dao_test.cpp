// The typed operations on the wire: one table of every operation with the request it
// must send and what it reads back, and the failures each one must pass on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "center_fixture.h"
#include "dao_test_support.h"
#include "velto/billing_dao.h"
#include "velto/closed_port.h"
#include "velto/file_dao.h"
#include "velto/issue_dao.h"
#include "velto/message_dao.h"
#include "velto/person_dao.h"
#include "velto/portal_dao.h"
#include "velto/site_dao.h"
#include "velto/user_card_dao.h"
#include "velto/user_dao.h"

namespace velto::test {
namespace {

// Writes the line breaks of a literal as CR LF, as the JSON writer does.
std::string Crlf(std::string_view text) {
  std::string out;
  for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

const TVeltoUser kUser{u"u1", u"pw", u"Kim", u"admin"};
const std::string kUserJson = Crlf(R"({
  "id": "u1",
  "password": "pw",
  "name": "Kim",
  "roles": "admin"
})");

const TVeltoUserCard kCard{u"c1", u"u1"};
const TVeltoSite kSite{u"s1", u"Clinic", u"logo-file"};
const std::string kSiteJson = Crlf(R"({
  "id": "s1",
  "name": "Clinic"
})");

const TVeltoPerson kPerson{u"s1", u"p1", u"Lee", u"F", u"19800101", u"010", u""};
const std::string kPersonJson = Crlf(R"({
  "siteId": "s1",
  "id": "p1",
  "name": "Lee",
  "gender": "F",
  "birth": "19800101",
  "phone": "010",
  "consentTime": ""
})");

// A person search of site s1: only the site and the name count.
TVeltoPerson PersonSearch(std::u16string name) {
  TVeltoPerson search = kPerson;
  search.Id = u"not sent";
  search.Name = std::move(name);
  return search;
}

const TVeltoIssue kIssue{u"s1", u"p1", u"i1", u"Scan", u"20250101"};
const std::string kIssueJson = Crlf(R"({
  "siteId": "s1",
  "personId": "p1",
  "id": "i1",
  "name": "Scan",
  "endTime": "20250101"
})");

const TVeltoFile kFile{u"s1", u"p1", u"i1", u"f1", u"/d/f1", u"", u"", u"scan 1.png", 2048};
const std::string kFileJson = Crlf(R"({
  "siteId": "s1",
  "personId": "p1",
  "issueId": "i1",
  "id": "f1",
  "path": "\/d\/f1",
  "hlscName": "",
  "hlscDate": "",
  "fileName": "scan 1.png",
  "fileSize": 2048
})");

const TVeltoPortal kPortal{u"s1", u"p1", u"o1", u"Main", u"20251231"};
const std::string kPortalJson = Crlf(R"({
  "siteId": "s1",
  "personId": "p1",
  "id": "o1",
  "name": "Main",
  "endTime": "20251231"
})");

TVeltoMessage Message() {
  TVeltoMessage message;
  message.SiteId = u"s1";
  message.PersonId = u"p1";
  message.RequestTime = u"20240305";
  message.MsgBody = u"\uC548\uB155";
  return message;
}
const std::string kMessageJson = Crlf(R"({
  "siteId": "s1",
  "personId": "p1",
  "cmid": "",
  "msgType": "",
  "rquestTime": "20240305",
  "sendTime": "",
  "destPhone": "",
  "sendPhone": "",
  "msgBody": "\uC548\uB155",
  "templateCode": "",
  "senderKey": "",
  "nationCode": "",
  "reType": "",
  "reBody": ""
})");

const TVeltoBilling kBilling{u"M", u"s1", u"p1", u"", u"Issue", u"2 files", u"", u"20240305"};
const std::string kBillingJson = Crlf(R"({
  "classCd": "M",
  "siteId": "s1",
  "personId": "p1",
  "id": "",
  "name": "Issue",
  "contents": "2 files",
  "regTime": "",
  "billingDate": "20240305"
})");

// One operation, the request it must send and what it must read from the reply.
struct DaoCase {
  DaoOperation operation;
  std::string value;  // the reply's "value" (JSON)
  std::string method;
  std::string target;
  std::string body;    // JSON text; empty: no body
  std::string result;  // Summary of what the operation returns
};

const std::string kList = R"([{"id":"a"},{"id":"b"},{"id":"c"}])";
const std::string kBack = R"({"id":"back","userId":"u-back"})";

std::vector<DaoCase> Cases() {
  using K = ValueKind;
  return {
      {{"UserGetList", K::List, Summed([] { return TVeltoUserDAO::GetList(); })},
       kList,
       "GET",
       "/users",
       "",
       "[a,b,c]"},
      {{"UserAdd", K::Nothing, Summed([] { TVeltoUserDAO::Add(kUser); })},
       "null",
       "POST",
       "/users",
       kUserJson,
       ""},
      {{"UserGet", K::Record, Summed([] { return TVeltoUserDAO::Get(kUser); })},
       kBack,
       "GET",
       "/user/u1",
       "",
       "back"},
      {{"UserModify", K::Nothing, Summed([] { TVeltoUserDAO::Modify(kUser); })},
       "null",
       "PUT",
       "/user/u1",
       kUserJson,
       ""},
      {{"UserDelete", K::Nothing, Summed([] { TVeltoUserDAO::Delete(kUser); })},
       "null",
       "DELETE",
       "/user/u1",
       "",
       ""},
      {{"UserEnter", K::Record, Summed([] { return TVeltoUserDAO::Enter(kUser); })},
       R"({"userId":"u1","id":"k9"})",
       "POST",
       "/user/u1/gate",
       kUserJson,
       "u1|k9"},
      {{"UserLeave", K::Nothing, Summed([] {
          TVeltoUserDAO::Leave({u"u2", u"k2"});
        })},
       "null",
       "DELETE",
       "/user/u2/gate",
       "",
       ""},
      {{"CardGetList", K::List, Summed([] { return TVeltoUserCardDAO::GetList(u"u1"); })},
       kList,
       "GET",
       "/user-cards/u1",
       "",
       "[a,b,c]"},
      {{"CardAdd", K::Record, Summed([] { return TVeltoUserCardDAO::Add(kCard); })},
       kBack,
       "POST",
       "/user-cards/u1",
       Crlf("{\n  \"id\": \"c1\",\n  \"userId\": \"u1\"\n}"),
       "back"},
      {{"CardDelete", K::Nothing, Summed([] { TVeltoUserCardDAO::Delete(kCard); })},
       "null",
       "DELETE",
       "/user-card/c1",
       "",
       ""},
      {{"CardGetNumber", K::Text, Summed([] { return TVeltoUserCardDAO::GetNumber(kCard); })},
       R"("1234-5678")",
       "GET",
       "/user-card/c1/number",
       "",
       "1234-5678"},
      {{"SiteGetList", K::List, Summed([] { return TVeltoSiteDAO::GetList(); })},
       kList,
       "GET",
       "/sites",
       "",
       "[a,b,c]"},
      {{"SiteAdd", K::Nothing, Summed([] { TVeltoSiteDAO::Add(kSite); })},
       "null",
       "POST",
       "/sites",
       kSiteJson,
       ""},
      {{"SiteGet", K::Record, Summed([] { return TVeltoSiteDAO::Get(kSite); })},
       kBack,
       "GET",
       "/site/s1",
       "",
       "back"},
      {{"SiteModify", K::Nothing, Summed([] { TVeltoSiteDAO::Modify(kSite); })},
       "null",
       "PUT",
       "/site/s1",
       kSiteJson,
       ""},
      {{"SiteDelete", K::Nothing, Summed([] { TVeltoSiteDAO::Delete(kSite); })},
       "null",
       "DELETE",
       "/site/s1",
       "",
       ""},
      {{"PersonGetList", K::List,
        Summed([] { return TVeltoPersonDAO::GetList(PersonSearch(u"Lee Kim&\uAC00")); })},
       kList,
       "GET",
       "/persons/s1?name=Lee+Kim%26%EA%B0%80",
       "",
       "[a,b,c]"},
      {{"PersonGetListOfAll", K::List,
        Summed([] { return TVeltoPersonDAO::GetList(PersonSearch(u"")); })},
       "[]",
       "GET",
       "/persons/s1?name=",
       "",
       "[]"},
      {{"PersonAdd", K::Nothing, Summed([] { TVeltoPersonDAO::Add(kPerson); })},
       "null",
       "POST",
       "/persons/s1",
       kPersonJson,
       ""},
      {{"PersonGet", K::Record, Summed([] { return TVeltoPersonDAO::Get(kPerson); })},
       kBack,
       "GET",
       "/person/s1/p1",
       "",
       "back"},
      {{"PersonModify", K::Nothing, Summed([] { TVeltoPersonDAO::Modify(kPerson); })},
       "null",
       "PUT",
       "/person/s1/p1",
       kPersonJson,
       ""},
      {{"PersonDelete", K::Nothing, Summed([] { TVeltoPersonDAO::Delete(kPerson); })},
       "null",
       "DELETE",
       "/person/s1/p1",
       "",
       ""},
      {{"IssueGetList", K::List, Summed([] { return TVeltoIssueDAO::GetList(kIssue); })},
       kList,
       "GET",
       "/issues/s1/p1?name=Scan",
       "",
       "[a,b,c]"},
      {{"IssueAdd", K::Record, Summed([] { return TVeltoIssueDAO::Add(kIssue); })},
       kBack,
       "POST",
       "/issues/s1/p1",
       kIssueJson,
       "back"},
      {{"IssueGet", K::Record, Summed([] { return TVeltoIssueDAO::Get(kIssue); })},
       kBack,
       "GET",
       "/issue/i1",
       "",
       "back"},
      {{"IssueModify", K::Nothing, Summed([] { TVeltoIssueDAO::Modify(kIssue); })},
       "null",
       "PUT",
       "/issue/i1",
       kIssueJson,
       ""},
      {{"IssueDelete", K::Nothing, Summed([] { TVeltoIssueDAO::Delete(kIssue); })},
       "null",
       "DELETE",
       "/issue/i1",
       "",
       ""},
      {{"FileGetList", K::List, Summed([] { return TVeltoFileDAO::GetList(kFile); })},
       kList,
       "GET",
       "/files/i1?name=scan+1.png",
       "",
       "[a,b,c]"},
      {{"FileGet", K::Record, Summed([] { return TVeltoFileDAO::Get(kFile); })},
       kBack,
       "GET",
       "/file/f1",
       "",
       "back"},
      {{"FileModify", K::Nothing, Summed([] { TVeltoFileDAO::Modify(kFile); })},
       "null",
       "PUT",
       "/file/f1",
       kFileJson,
       ""},
      {{"FileDelete", K::Nothing, Summed([] { TVeltoFileDAO::Delete(kFile); })},
       "null",
       "DELETE",
       "/file/f1",
       "",
       ""},
      {{"PortalGetList", K::List, Summed([] { return TVeltoPortalDAO::GetList(kPortal); })},
       kList,
       "GET",
       "/portals/s1/p1?name=Main",
       "",
       "[a,b,c]"},
      {{"PortalAdd", K::Record, Summed([] { return TVeltoPortalDAO::Add(kPortal); })},
       kBack,
       "POST",
       "/portals/s1/p1",
       kPortalJson,
       "back"},
      {{"PortalGet", K::Record, Summed([] { return TVeltoPortalDAO::Get(kPortal); })},
       kBack,
       "GET",
       "/portal/o1",
       "",
       "back"},
      {{"PortalModify", K::Nothing, Summed([] { TVeltoPortalDAO::Modify(kPortal); })},
       "null",
       "PUT",
       "/portal/o1",
       kPortalJson,
       ""},
      {{"PortalDelete", K::Nothing, Summed([] { TVeltoPortalDAO::Delete(kPortal); })},
       "null",
       "DELETE",
       "/portal/o1",
       "",
       ""},
      // The reply names the request time right; a member under the request's spelling is
      // not read.
      {{"MessageAdd", K::Record, Summed([] { return TVeltoMessageDAO::Add(Message()); })},
       R"({"cmid":"m9","requestTime":"t-back","rquestTime":"wrong"})",
       "POST",
       "/message/s1",
       kMessageJson,
       "m9|t-back"},
      {{"BillingAdd", K::Record, Summed([] { return TVeltoBillingDAO::Add(kBilling); })},
       kBack,
       "POST",
       "/billing/s1/p1",
       kBillingJson,
       "back"},
  };
}

std::string CaseName(const ::testing::TestParamInfo<DaoCase>& info) {
  return info.param.operation.name;
}

class DaoRequestTest : public CenterTest, public ::testing::WithParamInterface<DaoCase> {};

TEST_P(DaoRequestTest, SendsItsRequestAndReadsTheReply) {
  const DaoCase& c = GetParam();
  TVeltoCenter::SetKey({u"", u"k-1"});
  peer_.Enqueue(ServerReply("100", c.value));
  EXPECT_EQ(c.operation.call(), c.result);
  const PeerRequest request = OnlyRequest();
  EXPECT_EQ(request.Method(), c.method);
  EXPECT_EQ(request.Target(), c.target);
  EXPECT_EQ(request.Header("key-id"), "k-1");
  EXPECT_EQ(request.Body(), c.body);
  if (c.body.empty()) {
    EXPECT_FALSE(request.HasHeader("Content-Type"));
  } else {
    EXPECT_EQ(request.Header("Content-Type"), "application/json; charset=utf-8");
  }
}

TEST_P(DaoRequestTest, PassesEveryFailureOnAndStaysUsable) {
  const DaoOperation& operation = GetParam().operation;
  for (const FailureCase& failure : FailureCases()) {
    if (!failure.AppliesTo(operation.kind)) continue;
    SCOPED_TRACE(failure.name);
    peer_.Enqueue(failure.reply);
    ExpectFailure(operation.call, failure.raised, failure.message);
  }
  peer_.Enqueue(ServerReply("100", GetParam().value));
  EXPECT_EQ(operation.call(), GetParam().result) << "the connection is idle again";
}

INSTANTIATE_TEST_SUITE_P(Typed, DaoRequestTest, ::testing::ValuesIn(Cases()), CaseName);

// Only list operations: an empty array is an empty list, and elements keep the reply's
// order, missing members reading as empty text.
TEST_F(CenterTest, ReadsListsInReplyOrder) {
  peer_.Enqueue(ServerReply("100", "[]"));
  EXPECT_TRUE(TVeltoIssueDAO::GetList(kIssue).empty());
  peer_.Enqueue(ServerReply("100", R"([{"id":"z"},{},{"id":7,"name":"n"},{"id":"a"}])"));
  const std::vector<TVeltoIssue> issues = TVeltoIssueDAO::GetList(kIssue);
  ASSERT_EQ(issues.size(), 4u);
  EXPECT_EQ(issues[0].Id, u"z");
  EXPECT_EQ(issues[1].Id, u"");
  EXPECT_EQ(issues[2].Id, u"7");
  EXPECT_EQ(issues[2].Name, u"n");
  EXPECT_EQ(issues[3].Id, u"a");
}

TEST_F(CenterTest, ReadsACardNumberAsText) {
  const std::pair<const char*, const char16_t*> cases[] = {
      {R"("0012")", u"0012"}, {"5678", u"5678"}, {"1.50", u"1.5"}, {"null", u""},
      {"true", u""},          {"{}", u""},       {"[]", u""},
  };
  for (const auto& [value, number] : cases) {
    peer_.Enqueue(ServerReply("100", value));
    EXPECT_EQ(TVeltoUserCardDAO::GetNumber(kCard), number) << value;
  }
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","message":"no value"})"));
  EXPECT_EQ(TVeltoUserCardDAO::GetNumber(kCard), u"");
}

std::vector<DaoOperation> Operations() {
  std::vector<DaoOperation> operations;
  for (const DaoCase& c : Cases()) operations.push_back(c.operation);
  return operations;
}

TEST_F(CenterTest, EveryOperationFailsAtOnceWhileTheConnectionIsBusy) {
  WhileBusy(peer_, [&] {
    for (const DaoOperation& operation : Operations()) {
      SCOPED_TRACE(operation.name);
      ExpectFailure(operation.call, Raised::Busy, u"");
    }
  });
  EXPECT_EQ(peer_.Requests().size(), 1u) << "only the held request reached the peer";
}

TEST_F(CenterTest, EveryOperationFailsWhenNothingListens) {
  const ClosedPort closed;
  TVeltoCenter::SetRoot(Utf8ToUtf16(closed.Root()));
  for (const DaoOperation& operation : Operations()) {
    SCOPED_TRACE(operation.name);
    ExpectFailure(operation.call, Raised::Transport, u"");
  }
}

// A user's gate: success whatever "value" holds; every failure, of any kind, is "no".
TEST_F(CenterTest, UserCheckAnswersFalseForEveryFailure) {
  const char* values[] = {"false", "true", "null", R"("no")"};
  for (const char* value : values) {
    peer_.Enqueue(ServerReply("100", value));
    EXPECT_TRUE(TVeltoUserDAO::Check(u"u1")) << value;
  }
  peer_.Enqueue(PeerReply::Json(R"({"code":"100"})"));
  EXPECT_TRUE(TVeltoUserDAO::Check(u"u1")) << "no value at all";
  EXPECT_EQ(peer_.Requests().back().Target(), "/user/u1/gate");
  for (const FailureCase& failure : FailureCases()) {
    if (!failure.AppliesTo(ValueKind::Nothing)) continue;
    peer_.Enqueue(failure.reply);
    EXPECT_FALSE(TVeltoUserDAO::Check(u"u1")) << failure.name;
  }
  WhileBusy(peer_, [] { EXPECT_FALSE(TVeltoUserDAO::Check(u"u1")) << "busy"; });
  const ClosedPort closed;
  TVeltoCenter::SetRoot(Utf8ToUtf16(closed.Root()));
  EXPECT_FALSE(TVeltoUserDAO::Check(u"u1")) << "nothing listens";
}

}  // namespace
}  // namespace velto::test
