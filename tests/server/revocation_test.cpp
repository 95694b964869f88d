// Keys that must end before their idle time: those of a deleted card, those opened with a
// password that has changed, those nobody presents again; and the administrator that must stay.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <thread>

#include "server_fixture.h"

namespace velto::test {
namespace {

using RevocationTest = ServerTest;

std::string NewCard(Api& root, const std::string& user) {
  const std::string card = root.Create("/user-cards/" + user, {{"id", ""}, {"userId", user}});
  return root.Get("/user-card/" + card + "/number").value().GetString();
}

Api PasswordLogIn(const ServerProcess& server, const std::string& user,
                  const std::string& password) {
  Api api(server);
  const Reply reply = api.Post("/user/" + user + "/gate", LibraryJson({{"password", password}}));
  EXPECT_EQ(reply.code(), "100") << reply.body;
  api.set_key(reply.Text("id"));
  return api;
}

TEST_F(RevocationTest, DeletingACardEndsTheKeysOpenedWithIt) {
  Api root = RootApi();
  root.Create("/users", {{"id", "carded"}, {"password", ""}, {"name", "c"}, {"roles", ""}});
  const std::string stolen = NewCard(root, "carded");
  const std::string kept = NewCard(root, "carded");
  Api thief(server());
  Api owner(server());
  ASSERT_EQ(thief.LogIn(stolen).code(), "100");
  ASSERT_EQ(owner.LogIn(kept).code(), "100");
  const std::string stolen_id = root.Get("/user-cards/carded").value()[0]["id"].GetString();
  EXPECT_EQ(root.Delete("/user-card/" + stolen_id).code(), "100");
  EXPECT_EQ(thief.Get("/sites").code(), "402");
  EXPECT_EQ(owner.Get("/sites").code(), "100");
}

TEST_F(RevocationTest, ChangingAPasswordEndsTheKeysOpenedWithTheOldOne) {
  Api root = RootApi();
  root.Create("/users", {{"id", "pw"}, {"password", "old"}, {"name", "p"}, {"roles", ""}});
  Api changer = PasswordLogIn(server(), "pw", "old");
  Api other = PasswordLogIn(server(), "pw", "old");
  Api with_card(server());
  ASSERT_EQ(with_card.LogIn(NewCard(root, "pw")).code(), "100");
  EXPECT_EQ(changer.Put("/user/pw", LibraryJson({{"password", "new"}})).code(), "100");
  EXPECT_EQ(changer.Get("/sites").code(), "100") << "the request that changed it keeps its key";
  EXPECT_EQ(other.Get("/sites").code(), "402");
  EXPECT_EQ(with_card.Get("/sites").code(), "100");
  // An administrator's change ends them all; an unchanged password ends nothing.
  Api again = PasswordLogIn(server(), "pw", "new");
  EXPECT_EQ(root.Put("/user/pw", LibraryJson({{"name", "renamed"}, {"password", ""}})).code(),
            "100");
  EXPECT_EQ(again.Get("/sites").code(), "100");
  EXPECT_EQ(root.Put("/user/pw", LibraryJson({{"password", "newer"}})).code(), "100");
  EXPECT_EQ(again.Get("/sites").code(), "402");
  EXPECT_EQ(changer.Get("/sites").code(), "402");
}

TEST(LastAdministratorTest, TheLastAdministratorCanBeNeitherDeletedNorDemoted) {
  ServerProcess server({"--memory", "--quiet"});
  Api root(server);
  ASSERT_EQ(root.LogIn(server.admin_card()).code(), "100");
  EXPECT_EQ(root.Delete("/user/root").code(), "405");
  EXPECT_EQ(root.Put("/user/root", LibraryJson({{"roles", "site:S"}})).code(), "405");
  EXPECT_EQ(root.Put("/user/root", LibraryJson({{"roles", "Admin"}})).code(), "100")
      << "a change that keeps it an administrator is fine";
  root.Create("/users", {{"id", "second"}, {"password", "pw"}, {"name", "s"}, {"roles", "root"}});
  EXPECT_EQ(root.Put("/user/root", LibraryJson({{"roles", ""}})).code(), "100");
  Api second = PasswordLogIn(server, "second", "pw");
  EXPECT_EQ(second.Delete("/user/second").code(), "405");
  EXPECT_EQ(second.Delete("/user/root").code(), "100") << "no administrator any more";
  EXPECT_EQ(second.Get("/user/second").Text("roles"), "root");
}

// The rows of the sessions table of the database at `path`.
int StoredSessions(const std::string& path) {
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return -1;
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> handle(raw, sqlite3_close);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(raw, "SELECT COUNT(*) FROM sessions", -1, &statement, nullptr) !=
      SQLITE_OK) {
    return -1;
  }
  const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
  sqlite3_finalize(statement);
  return count;
}

TEST(ExpiredSessionsTest, AreRemovedWhileNobodyPresentsTheirKeys) {
  TemporaryFolder folder;
  const std::string db = (folder.path() / "velto.db").string();
  ServerProcess server({"--db", db, "--files", (folder.path() / "files").string(), "--session-idle",
                        "0.5", "--quiet"});
  for (int i = 0; i < 3; ++i) {
    Api api(server);
    ASSERT_EQ(api.LogIn(server.admin_card()).code(), "100");
  }
  EXPECT_EQ(StoredSessions(db), 3);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (StoredSessions(db) != 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(StoredSessions(db), 0);
}

}  // namespace
}  // namespace velto::test
