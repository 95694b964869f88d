// VeltoPortalUrl, VeltoDeleteIssue, VeltoDeletePerson and VeltoSendMessage against the
// capturing peer: their requests and the exact envelopes, with the shapes that depart
// from "code" and "data".
#include "composite_test_support.h"

namespace velto::test {
namespace {

using PersonExportsTest = CompositeTest;

const std::string kFailDb = Lines({"{", R"(  "code": "FAIL",)", R"(  "data": "[500] db")", "}"});
const std::string kCodeAlone = Lines({"{", R"(  "code": "SUCCESS")", "}"});

TEST_F(PersonExportsTest, PortalUrlGivesTheGateOfTheFirstPortalOrAnEmptyObject) {
  const std::string gate =
      R"(  "data": "http:\/\/127.0.0.1:)" + std::to_string(peer_.Port()) + R"(\/portal\/)";
  const CompositeCase cases[] = {
      {"two portals: the first; its id one encoded segment",
       {Value(R"([{"id":"a b/.."},{"id":"second"}])")},
       {"GET /portals/S/p1?name="},
       Lines({"{", R"(  "code": "SUCCESS",)", gate + R"(a%20b%2F..\/gate")", "}"})},
      {"a portal id of dots alone: no folder step in the address",
       {Value(R"([{"id":".."}])")},
       {"GET /portals/S/p1?name="},
       Lines({"{", R"(  "code": "SUCCESS",)", gate + R"(%2E%2E\/gate")", "}"})},
      {"no portal", {Value("[]")}, {"GET /portals/S/p1?name="}, "{}"},
      {"a failing list", {Refused("500", "db")}, {"GET /portals/S/p1?name="}, kFailDb},
  };
  for (const CompositeCase& c : cases) {
    Expect(c, [](BSTR* result) { VeltoPortalUrl(BstrOwner(u"p1").Get(), result); });
  }
}

TEST_F(PersonExportsTest, DeleteIssueDeletesEachIssueTheServerListsForTheName) {
  const char kPerson[] = R"({"siteId":"S2","id":"other"})";
  const CompositeCase cases[] = {
      {"two matches, deleted in order; the site from the person, the person id as asked",
       {Value(kPerson), Value(R"([{"id":"i1"},{"id":"i2"}])"), Value("null"), Value("null")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=%ED%98%88%EC%95%A1+%26+x", "DELETE /issue/i1",
        "DELETE /issue/i2"},
       kCodeAlone},
      {"no match",
       {Value(kPerson), Value("[]")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=%ED%98%88%EC%95%A1+%26+x"},
       kCodeAlone},
      {"an unknown person: nothing listed",
       {Refused("301", "none")},
       {"GET /person/S/p1"},
       Lines({"{", R"(  "code": "FAIL",)", R"(  "data": "[301] none")", "}"})},
      {"the second deletion fails: the first stays done",
       {Value(kPerson), Value(R"([{"id":"i1"},{"id":"i2"},{"id":"i3"}])"), Value("null"),
        Refused("500", "db")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=%ED%98%88%EC%95%A1+%26+x", "DELETE /issue/i1",
        "DELETE /issue/i2"},
       kFailDb},
  };
  for (const CompositeCase& c : cases) {
    Expect(c, [](BSTR* result) {
      VeltoDeleteIssue(BstrOwner(u"p1").Get(), BstrOwner(u"혈액 & x").Get(), result);
    });
  }
}

TEST_F(PersonExportsTest, DeletePersonSendsOneDeletion) {
  const CompositeCase cases[] = {
      {"deleted", {Value("null")}, {"DELETE /person/S/p%201"}, kCodeAlone},
      {"refused", {Refused("500", "db")}, {"DELETE /person/S/p%201"}, kFailDb},
  };
  for (const CompositeCase& c : cases) {
    Expect(c, [](BSTR* result) { VeltoDeletePerson(BstrOwner(u"p 1").Get(), result); });
  }
}

TEST_F(PersonExportsTest, SendMessageSendsBooksAndReturnsTheServersMessage) {
  const std::string sent_message =
      R"(POST /message/S {"siteId": "S","personId": "p1","cmid": "","msgType": "SMS",)"
      R"("rquestTime": "2024-05-01","sendTime": "","destPhone": "010","sendPhone": "",)"
      R"("msgBody": "\uC548\uB155","templateCode": "T1","senderKey": "","nationCode": "",)"
      R"("reType": "","reBody": ""})";
  const CompositeCase cases[] = {
      {"booked with the server's cmid, template and body; request time as returned",
       {Value(R"({"siteId":"S","personId":"p1","cmid":"c7","msgType":"SMS","destPhone":"010",)"
              R"("msgBody":"안녕!","templateCode":"T2","rquestTime":"2024-05-01"})"),
        Value("{}")},
       {sent_message, R"(POST /billing/S/p1 {"classCd": "message","siteId": "S","personId": "p1",)"
                      R"("id": "c7","name": "T2","contents": "\uC548\uB155!","regTime": "",)"
                      R"("billingDate": ""})"},
       Lines({"{", R"(  "code": "SUCCESS",)",
              R"(  "data": "{\r\n  \"siteId\": \"S\",\r\n  \"personId\": \"p1\",\r\n)"
              R"(  \"cmid\": \"c7\",\r\n  \"msgType\": \"SMS\",\r\n)"
              R"(  \"requestTime\": \"\",\r\n  \"sendTime\": \"\",\r\n)"
              R"(  \"destPhone\": \"010\",\r\n  \"sendPhone\": \"\",\r\n)"
              R"(  \"msgBody\": \"\\uC548\\uB155!\",\r\n  \"templateCode\": \"T2\",\r\n)"
              R"(  \"senderKey\": \"\",\r\n  \"nationCode\": \"\",\r\n)"
              R"(  \"reType\": \"\",\r\n  \"reBody\": \"\"\r\n}")",
              "}"})},
      {"a refused message books nothing", {Refused("500", "db")}, {sent_message}, kFailDb},
  };
  for (const CompositeCase& c : cases) {
    Expect(c, [](BSTR* result) {
      VeltoSendMessage(
          BstrOwner(uR"({"siteId":"X","cmid":"Y","personId":"p1","msgType":"SMS",)"
                    uR"("requestTime":"2024-05-01","destPhone":"010","msgBody":"안녕",)"
                    uR"("templateCode":"T1","other":1})")
              .Get(),
          result);
    });
  }
  Expect({"input that is no object: nothing sent",
          {},
          {},
          Lines({"{", R"(  "code": "FAIL",)", R"(  "data": "Type mismatch")", "}"})},
         [](BSTR* result) { VeltoSendMessage(BstrOwner(u"[1]").Get(), result); });
}

}  // namespace
}  // namespace velto::test
