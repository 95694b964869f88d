// Ids that hold "/", "?", "#", spaces, line breaks, "%" or Korean letters reach the server
// as one percent-encoded path segment each, so they name the resource they belong to and
// cannot break the request; names in a query keep their form encoding.
#include <gtest/gtest.h>

#include <string>

#include "center_fixture.h"
#include "dao_test_support.h"
#include "velto/billing_dao.h"
#include "velto/file_dao.h"
#include "velto/issue_dao.h"
#include "velto/message_dao.h"
#include "velto/person_dao.h"
#include "velto/portal_dao.h"
#include "velto/site_dao.h"
#include "velto/user_card_dao.h"
#include "velto/user_dao.h"
#ifndef _WIN32
#include "velto/string_stream.h"
#endif

namespace velto::test {
namespace {

const std::u16string kOdd = u"a/b?c#d e\r\n\uD55C%2F";
const std::string kSegment = "a%2Fb%3Fc%23d%20e%0D%0A%ED%95%9C%252F";
const std::string kName = "a%2Fb%3Fc%23d+e%0D%0A%ED%95%9C%252F";

template <typename Record>
Record Odd() {
  Record record{};
  if constexpr (requires { record.SiteId; }) record.SiteId = kOdd;
  if constexpr (requires { record.PersonId; }) record.PersonId = kOdd;
  if constexpr (requires { record.IssueId; }) record.IssueId = kOdd;
  if constexpr (requires { record.UserId; }) record.UserId = kOdd;
  if constexpr (requires { record.Id; }) record.Id = kOdd;
  if constexpr (requires { record.Name; }) record.Name = kOdd;
  if constexpr (requires { record.FileName; }) record.FileName = kOdd;
  return record;
}

void GetDataOfOddFile() {
#ifndef _WIN32
  StringStream host;
  TVeltoFileDAO::GetData(Odd<TVeltoFile>(), &host.com);
#else
  IStream* host = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &host), S_OK);
  TVeltoFileDAO::GetData(Odd<TVeltoFile>(), host);
  host->Release();
#endif
}

TEST_F(CenterTest, PutsEachIdIntoThePathAsOneEncodedSegment) {
  const std::string& s = kSegment;
  const struct {
    std::string name;
    std::function<std::string()> call;
    std::string method;
    std::string target;
  } cases[] = {
      {"user", Summed([] { return TVeltoUserDAO::Get(Odd<TVeltoUser>()); }), "GET", "/user/" + s},
      {"user gate", Summed([] { return TVeltoUserDAO::Check(kOdd); }), "GET",
       "/user/" + s + "/gate"},
      {"user log-out", Summed([] {
         TVeltoUserDAO::Leave({kOdd, kOdd});
       }),
       "DELETE", "/user/" + s + "/gate"},
      {"user's cards", Summed([] { return TVeltoUserCardDAO::GetList(kOdd); }), "GET",
       "/user-cards/" + s},
      {"card number", Summed([] { return TVeltoUserCardDAO::GetNumber(Odd<TVeltoUserCard>()); }),
       "GET", "/user-card/" + s + "/number"},
      {"site", Summed([] { TVeltoSiteDAO::Delete(Odd<TVeltoSite>()); }), "DELETE", "/site/" + s},
      {"persons", Summed([] { return TVeltoPersonDAO::GetList(Odd<TVeltoPerson>()); }), "GET",
       "/persons/" + s + "?name=" + kName},
      {"person", Summed([] { TVeltoPersonDAO::Modify(Odd<TVeltoPerson>()); }), "PUT",
       "/person/" + s + "/" + s},
      {"issues", Summed([] { return TVeltoIssueDAO::GetList(Odd<TVeltoIssue>()); }), "GET",
       "/issues/" + s + "/" + s + "?name=" + kName},
      {"files", Summed([] { return TVeltoFileDAO::GetList(Odd<TVeltoFile>()); }), "GET",
       "/files/" + s + "?name=" + kName},
      {"file data", Summed(GetDataOfOddFile), "GET", "/file/" + s + "/data"},
      {"portal", Summed([] { return TVeltoPortalDAO::Get(Odd<TVeltoPortal>()); }), "GET",
       "/portal/" + s},
      {"message", Summed([] { return TVeltoMessageDAO::Add(Odd<TVeltoMessage>()); }), "POST",
       "/message/" + s},
      {"billing", Summed([] { return TVeltoBillingDAO::Add(Odd<TVeltoBilling>()); }), "POST",
       "/billing/" + s + "/" + s},
  };
  // The peer answers only the exact target; anything else would be another resource.
  std::string expected_target;
  peer_.SetResponder([&expected_target](const PeerRequest& request) {
    return request.Target() == expected_target ? ServerReply("100", "[]")
                                               : PeerReply::Http("HTTP/1.1 404 Not Found");
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    expected_target = c.target;
    const size_t before = peer_.Requests().size();
    try {
      c.call();  // records read from "[]" fail; reaching the reader is enough here
    } catch (const ETypeMismatch&) {
    }
    ASSERT_EQ(peer_.Requests().size(), before + 1);
    const PeerRequest request = peer_.Requests().back();
    EXPECT_EQ(request.RequestLine(), c.method + " " + c.target + " " + request.Version());
    EXPECT_TRUE(request.Version() == "HTTP/1.1" || request.Version() == "HTTP/1.0");
    EXPECT_EQ(request.Target(), c.target);
  }
  peer_.SetResponder({});
}

TEST_F(CenterTest, SendsAnIdOfDotsAloneEncodedSoThatNoFolderStepIsTaken) {
  const struct {
    std::u16string id;
    std::string target;
  } cases[] = {
      {u".", "/issue/%2E"},
      {u"..", "/issue/%2E%2E"},
      {u"...", "/issue/..."},
      {u"a.", "/issue/a."},
  };
  for (const auto& c : cases) {
    peer_.Enqueue(ServerReply("100", "null"));
    TVeltoIssue issue;
    issue.Id = c.id;
    TVeltoIssueDAO::Delete(issue);
    EXPECT_EQ(peer_.Requests().back().Target(), c.target);
  }
}

}  // namespace
}  // namespace velto::test
