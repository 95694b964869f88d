// What the routes store and return: lists, filters, generated ids, messages, billing, surveys.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "server_fixture.h"

namespace velto::test {
namespace {

using RecordTest = ServerTest;

std::vector<std::string> Names(const Reply& reply, const char* member = "name") {
  std::vector<std::string> names;
  if (!reply.value().IsArray()) return names;
  for (const auto& record : reply.value().GetArray()) names.push_back(record[member].GetString());
  return names;
}

bool UrlSafe(const std::string& id) {
  return !id.empty() && id.find_first_not_of(
                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                            "0123456789-_") == std::string::npos;
}

TEST_F(RecordTest, ListsKeepCreationOrderAndFilterByExactName) {
  Api api = RootApi();
  const World w = MakeWorld(api, "l");
  const std::string issues = "/issues/" + w.site + "/" + w.person;
  for (const char* name : {"나 중", "가", "나 중", "나"})
    api.Create(issues, {{"id", ""}, {"name", name}});

  EXPECT_EQ(Names(api.Get(issues + "?name=")),
            (std::vector<std::string>{"검사 결과", "나 중", "가", "나 중", "나"}));
  EXPECT_EQ(Names(api.Get(issues + "?name=" + UrlEncode("나 중"))),
            (std::vector<std::string>{"나 중", "나 중"}));
  EXPECT_EQ(Names(api.Get(issues + "?name=" + UrlEncode("나"))), (std::vector<std::string>{"나"}));
  EXPECT_TRUE(Names(api.Get(issues + "?name=" + UrlEncode("없음"))).empty());
  // The other person's issues are not listed.
  EXPECT_TRUE(Names(api.Get("/issues/" + w.site + "/" + w.person2 + "?name=")).empty());

  EXPECT_EQ(Names(api.Get("/persons/" + w.site + "?name=")),
            (std::vector<std::string>{"홍길동", "김철수"}));
  EXPECT_EQ(Names(api.Get("/persons/" + w.site + "?name=" + UrlEncode("김철수")), "id"),
            (std::vector<std::string>{w.person2}));
  EXPECT_EQ(
      Names(api.Get("/portals/" + w.site + "/" + w.person + "?name=" + UrlEncode("포털")), "id"),
      (std::vector<std::string>{w.portal}));
}

TEST_F(RecordTest, GeneratedIdsAreUrlSafeAndUnique) {
  Api api = RootApi();
  const World w = MakeWorld(api, "i");
  const std::string message = api.Create("/message/" + w.site, {{"msgBody", "m"}}, "cmid");
  const std::string billing = api.Create("/billing/" + w.site, {{"classCd", "c"}});
  for (const std::string& id : {w.issue, w.file, w.portal, w.survey, w.card, message, billing}) {
    EXPECT_TRUE(UrlSafe(id)) << id;
  }
  EXPECT_NE(w.issue, api.Create("/issues/" + w.site + "/" + w.person, {{"id", ""}}));
}

TEST_F(RecordTest, DuplicateIdsAreRefused) {
  Api api = RootApi();
  const World w = MakeWorld(api, "d");
  const std::pair<std::string, std::string> duplicates[] = {
      {"/sites", LibraryJson({{"id", w.site}, {"name", "x"}})},
      {"/users", LibraryJson({{"id", w.user}, {"name", "x"}})},
      {"/persons/" + w.site, LibraryJson({{"id", w.person}})},
      {"/issues/" + w.site + "/" + w.person, LibraryJson({{"id", w.issue}})},
      {"/portals/" + w.site + "/" + w.person, LibraryJson({{"id", w.portal}})},
      {"/consent/" + w.site + "/" + w.person, LibraryJson({{"signature", "again"}})},
  };
  for (const auto& [path, body] : duplicates) {
    SCOPED_TRACE(path);
    EXPECT_EQ(api.Post(path, body).code(), "302");
  }
  // The same person id at another site is another person.
  const std::string other_site = api.Create("/sites", {{"id", "other-site"}, {"name", "o"}});
  EXPECT_EQ(api.Post("/persons/" + other_site, LibraryJson({{"id", w.person}})).code(), "100");
}

TEST_F(RecordTest, BodiesThatAreNotJsonObjectsAreBadRequests) {
  Api api = RootApi();
  const World w = MakeWorld(api, "b");
  for (const char* body : {"", "not json", "[]", "\"text\"", "{\"id\": }", "{} {}"}) {
    SCOPED_TRACE(body);
    EXPECT_EQ(api.Post("/sites", body).code(), "303");
    EXPECT_EQ(api.Put("/site/" + w.site, body).code(), "303");
  }
  // Record bodies have a size limit; uploads do not.
  const std::string huge = "{\"name\": \"" + std::string(17 * 1024 * 1024, 'x') + "\"}";
  EXPECT_EQ(api.Put("/site/" + w.site, huge).code(), "303");
  EXPECT_EQ(api.Get("/site/" + w.site).Text("name"), "병원 b");
}

TEST_F(RecordTest, NumbersInBodiesKeepTheirText) {
  Api api = RootApi();
  const Reply site = api.Post("/sites", R"({"id": 7, "name": 1e2, "fileId": "ignored"})");
  ASSERT_EQ(site.code(), "100") << site.body;
  EXPECT_EQ(site.Text("id"), "7");
  EXPECT_EQ(site.Text("name"), "1e2");
  EXPECT_EQ(site.Text("fileId"), "");  // the server keeps the logo's file id itself
}

TEST_F(RecordTest, IdsWithEncodedSlashesNameOneRecord) {
  Api api = RootApi();
  const World w = MakeWorld(api, "s");
  api.Create("/persons/" + w.site, {{"id", "a/b?c d"}, {"name", "slash"}});
  const Reply person = api.Get("/person/" + w.site + "/a%2Fb%3Fc%20d");
  ASSERT_EQ(person.code(), "100") << person.body;
  EXPECT_EQ(person.Text("name"), "slash");
  EXPECT_EQ(api.Get("/person/" + w.site + "/a/b").status, 404);
}

TEST_F(RecordTest, ChangesKeepTheKeysOfTheRecord) {
  Api api = RootApi();
  const World w = MakeWorld(api, "c");
  const Reply issue = api.Put("/issue/" + w.issue, LibraryJson({{"siteId", "x"},
                                                                {"personId", "y"},
                                                                {"id", "z"},
                                                                {"name", "새 이름"},
                                                                {"endTime", "2100-01-01"}}));
  EXPECT_EQ(issue.Text("id"), w.issue);
  EXPECT_EQ(issue.Text("personId"), w.person);
  EXPECT_EQ(issue.Text("name"), "새 이름");
  EXPECT_EQ(api.Get("/issue/" + w.issue).Text("endTime"), "2100-01-01");
}

TEST_F(RecordTest, ConsentsShowOnThePerson) {
  Api api = RootApi();
  const World w = MakeWorld(api, "c");
  const std::string consent = "/consent/" + w.site + "/" + w.person2;
  const Reply added =
      api.Post(consent, LibraryJson({{"signature", "서명"}, {"regTime", "2024-03-05"}}));
  EXPECT_EQ(added.Text("personId"), w.person2);
  EXPECT_EQ(api.Get("/person/" + w.site + "/" + w.person2).Text("consentTime"), "2024-03-05");
  EXPECT_EQ(api.Get(consent).Text("signature"), "서명");
  EXPECT_EQ(api.Delete(consent).code(), "100");
  EXPECT_EQ(api.Get("/person/" + w.site + "/" + w.person2).Text("consentTime"), "");
}

TEST_F(RecordTest, MessagesAreRecordedAsSent) {
  Api api = RootApi();
  const World w = MakeWorld(api, "m");
  const Reply sent =
      api.Post("/message/" + w.site, LibraryJson({{"siteId", w.site},
                                                  {"personId", w.person},
                                                  {"cmid", ""},
                                                  {"rquestTime", "2024-03-05 09:00:00"},
                                                  {"sendTime", ""},
                                                  {"msgBody", "안녕하세요"}}));
  ASSERT_EQ(sent.code(), "100") << sent.body;
  EXPECT_TRUE(UrlSafe(sent.Text("cmid")));
  EXPECT_EQ(sent.Text("requestTime"), "2024-03-05 09:00:00");
  EXPECT_FALSE(sent.Text("sendTime").empty());
  EXPECT_EQ(sent.Text("msgBody"), "안녕하세요");
  EXPECT_FALSE(sent.value().HasMember("rquestTime"));

  const std::string list = "/messages/" + w.site + "?personId=";
  api.Create("/message/" + w.site, {{"personId", w.person2}, {"msgBody", "b"}}, "cmid");
  EXPECT_EQ(Names(api.Get(list + "&searchFrom=&searchTo="), "msgBody"),
            (std::vector<std::string>{"안녕하세요", "b"}));
  EXPECT_EQ(Names(api.Get(list + w.person2 + "&searchFrom=&searchTo="), "msgBody"),
            (std::vector<std::string>{"b"}));
  // A range bound that is a date covers the whole of that day: from the day of the first
  // message to that of the last (the same day unless the run crossed midnight between them).
  std::vector<std::string> sent_at = Names(api.Get(list + "&searchFrom=&searchTo="), "sendTime");
  ASSERT_EQ(sent_at.size(), 2u);
  std::sort(sent_at.begin(), sent_at.end());
  const std::string from = sent_at.front().substr(0, 10);
  const std::string to = sent_at.back().substr(0, 10);
  EXPECT_EQ(api.Get(list + "&searchFrom=" + from + "&searchTo=" + to).value().Size(), 2u);
  EXPECT_EQ(api.Get(list + "&searchFrom=&searchTo=2000-01-01").value().Size(), 0u);
}

TEST_F(RecordTest, BillingEntriesFilterByPersonClassAndDate) {
  Api api = RootApi();
  const World w = MakeWorld(api, "b");
  const Reply entry =
      api.Post("/billing/" + w.site + "/" + w.person, LibraryJson({{"classCd", "result"},
                                                                   {"siteId", w.site},
                                                                   {"personId", "ignored"},
                                                                   {"id", w.issue},
                                                                   {"name", "검사"},
                                                                   {"contents", "|"}}));
  ASSERT_EQ(entry.code(), "100") << entry.body;
  EXPECT_EQ(entry.Text("personId"), w.person);
  EXPECT_EQ(entry.Text("id"), w.issue);
  // Billing the same issue again books a second entry.
  api.Post("/billing/" + w.site + "/" + w.person,
           LibraryJson({{"classCd", "result"}, {"id", w.issue}}));
  api.Post("/billing/" + w.site,
           LibraryJson(
               {{"classCd", "message"}, {"personId", w.person2}, {"billingDate", "2020-01-01"}}));
  const std::string list = "/billing/" + w.site;
  EXPECT_EQ(api.Get(list + "?personId=&classCd=&searchFrom=&searchTo=").value().Size(), 3u);
  EXPECT_EQ(
      api.Get(list + "?personId=" + w.person + "&classCd=&searchFrom=&searchTo=").value().Size(),
      2u);
  EXPECT_EQ(api.Get(list + "?personId=&classCd=message&searchFrom=&searchTo=").value().Size(), 1u);
  EXPECT_EQ(api.Get(list + "?personId=&classCd=&searchFrom=2020-01-01&searchTo=2020-01-01")
                .value()
                .Size(),
            1u);
}

TEST_F(RecordTest, SurveyAnswersComeFromTheSurveysValues) {
  Api api = RootApi();
  const World w = MakeWorld(api, "v");
  const Reply survey =
      api.Post("/surveys/" + w.issue,
               R"({"name":"문진","order":3,"state":"open",)"
               R"("values":[{"tagId":"q1","value":"예"},{"tagId":"q2","value":"2"}]})");
  ASSERT_EQ(survey.code(), "100") << survey.body;
  EXPECT_EQ(survey.value()["order"].GetInt(), 3);
  EXPECT_EQ(survey.Text("personId"), w.person);
  const std::string id = survey.Text("id");

  const Reply values = api.Get("/survey/" + id + "/values");
  EXPECT_EQ(Names(values, "tagId"), (std::vector<std::string>{"q1", "q2"}));
  EXPECT_EQ(Names(values, "value"), (std::vector<std::string>{"예", "2"}));
  EXPECT_EQ(Names(values, "surveyId"), (std::vector<std::string>{id, id}));
  EXPECT_EQ(api.Get("/survey/" + id + "/values/complete").value().Size(), 0u);
  api.Put("/survey/" + id, R"({"state":"complete"})");
  EXPECT_EQ(api.Get("/survey/" + id + "/values/complete").value().Size(), 2u);
  EXPECT_EQ(Names(api.Get("/surveys/" + w.issue)), (std::vector<std::string>{"문진", "문진"}));
}

}  // namespace
}  // namespace velto::test
