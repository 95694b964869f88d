#include "server_fixture.h"

namespace velto::test {

std::unique_ptr<ServerProcess> ServerTest::server_;

void ServerTest::SetUpTestSuite() {
  server_ = std::make_unique<ServerProcess>(std::vector<std::string>{"--memory"});
}

void ServerTest::TearDownTestSuite() {
  // A clean exit also means no sanitizer report in the server.
  EXPECT_EQ(server_->Stop(), 0);
  server_.reset();
}

Api ServerTest::RootApi() {
  Api api(*server_);
  const Reply reply = api.LogIn(server_->admin_card());
  EXPECT_EQ(reply.code(), "100") << reply.body;
  return api;
}

World MakeWorld(Api& api, const std::string& tag) {
  World w;
  w.site = api.Create("/sites", {{"id", "site-" + tag}, {"name", "병원 " + tag}});
  w.person = api.Create("/persons/" + w.site, {{"id", "person-" + tag}, {"name", "홍길동"}});
  w.person2 = api.Create("/persons/" + w.site, {{"id", "other-" + tag}, {"name", "김철수"}});
  w.issue = api.Create("/issues/" + w.site + "/" + w.person,
                       {{"id", ""}, {"name", "검사 결과"}, {"endTime", "2099-12-31"}});
  w.file_bytes = "file bytes of " + tag;
  const Reply upload = api.PostForm("/files/" + w.issue,
                                    UploadParts(w.file_bytes, "결과.pdf", "혈액", "2024-03-05"));
  EXPECT_EQ(upload.code(), "100") << upload.body;
  w.file = upload.Text("id");
  w.portal = api.Create("/portals/" + w.site + "/" + w.person,
                        {{"id", ""}, {"name", "포털"}, {"endTime", "2099-12-31"}});
  w.survey = api.Create("/surveys/" + w.issue,
                        {{"name", "문진"}, {"state", "complete"}, {"values", R"({"q1":"yes"})"}});
  api.Create("/consent/" + w.site + "/" + w.person, {{"signature", "서명"}}, "personId");
  w.user = api.Create(
      "/users",
      {{"id", "user-" + tag}, {"password", ""}, {"name", "사용자"}, {"roles", "site:" + w.site}});
  w.card = api.Create("/user-cards/" + w.user, {{"id", ""}, {"userId", w.user}});
  return w;
}

}  // namespace velto::test
