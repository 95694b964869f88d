// Data kept in a database file and a files folder survives a restart of the server.
#include <gtest/gtest.h>

#include "server_fixture.h"

namespace velto::test {
namespace {

class PersistenceTest : public ::testing::Test {
 protected:
  std::vector<std::string> Flags() const {
    return {"--db", (folder_.path() / "data" / "velto.db").string(), "--files",
            (folder_.path() / "data" / "files").string()};
  }

  TemporaryFolder folder_;
};

TEST_F(PersistenceTest, RecordsFilesAndKeysSurviveARestart) {
  std::string card;
  std::string key;
  World w;
  {
    ServerProcess first(Flags());
    card = first.admin_card();
    ASSERT_FALSE(card.empty()) << "a new database prints its root card";
    Api api(first);
    key = api.LogIn(card).Text("id");
    w = MakeWorld(api, "p");
  }  // the Api closes its connection first, then the server stops
  EXPECT_TRUE(std::filesystem::exists(folder_.path() / "data" / "velto.db"));

  ServerProcess second(Flags());
  EXPECT_TRUE(second.admin_card().empty()) << "the root card is printed only once";
  Api api(second);
  api.set_key(key);
  EXPECT_EQ(api.Get("/site/" + w.site).Text("name"), "병원 p");
  EXPECT_EQ(api.Get("/person/" + w.site + "/" + w.person).Text("name"), "홍길동");
  EXPECT_EQ(api.Get("/issue/" + w.issue).Text("name"), "검사 결과");
  EXPECT_EQ(api.Get("/file/" + w.file + "/data").body, w.file_bytes);
  EXPECT_EQ(api.Get("/survey/" + w.survey).Text("name"), "문진");
  EXPECT_EQ(api.Get("/users").value().Size(), 2u) << "no second root user";
  Api again(second);
  EXPECT_EQ(again.LogIn(card).code(), "100");
}

TEST_F(PersistenceTest, MemoryServersStartEmpty) {
  std::string site;
  {
    ServerProcess first({"--memory"});
    Api api(first);
    api.LogIn(first.admin_card());
    site = api.Create("/sites", {{"id", "S"}, {"name", "s"}});
  }
  ServerProcess second({"--memory"});
  EXPECT_FALSE(second.admin_card().empty());
  Api api(second);
  api.LogIn(second.admin_card());
  EXPECT_EQ(api.Get("/site/" + site).code(), "301");
}

}  // namespace
}  // namespace velto::test
