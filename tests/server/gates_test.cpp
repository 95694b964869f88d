// Log-in and log-out at the card and user gates, and what a key opens.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "server_fixture.h"

namespace velto::test {
namespace {

using GateTest = ServerTest;

constexpr const char* kCardGate = "/user-card/20240305140709042123/gate";

TEST_F(GateTest, CardLogInGivesAKeyThatLivesUntilLogOut) {
  Api api(server());
  const Reply key = api.LogIn(server().admin_card());
  ASSERT_EQ(key.code(), "100") << key.body;
  EXPECT_EQ(key.Text("userId"), "root");
  EXPECT_FALSE(key.Text("id").empty());

  EXPECT_TRUE(api.Get(kCardGate).value().IsTrue());
  EXPECT_EQ(api.Get("/users").code(), "100");

  EXPECT_EQ(api.Delete(kCardGate).code(), "100");
  EXPECT_TRUE(api.Get(kCardGate).value().IsFalse());
  EXPECT_EQ(api.Get("/users").code(), "402");
  // Logging out twice is harmless.
  EXPECT_EQ(api.Delete(kCardGate).code(), "100");
}

TEST_F(GateTest, CardGateCheckIsFalseWithoutAKey) {
  Api api(server());
  const Reply check = api.Get(kCardGate);
  EXPECT_EQ(check.code(), "100");
  EXPECT_TRUE(check.value().IsFalse());
}

TEST_F(GateTest, UnknownCardNumbersAreRefused) {
  Api api(server());
  for (const std::string& number :
       std::vector<std::string>{"", "0000000000000000", server().admin_card() + "0"}) {
    SCOPED_TRACE(number);
    const Reply reply = api.LogIn(number);
    EXPECT_EQ(reply.code(), "403");
    EXPECT_TRUE(reply.value().IsNull());
  }
}

TEST_F(GateTest, EachLogInHasItsOwnKey) {
  Api first(server());
  Api second(server());
  first.LogIn(server().admin_card());
  second.LogIn(server().admin_card());
  ASSERT_NE(first.key(), second.key());
  first.Delete(kCardGate);
  EXPECT_EQ(first.Get("/sites").code(), "402");
  EXPECT_EQ(second.Get("/sites").code(), "100");
}

TEST_F(GateTest, CardsOfANewUserOpenSessionsOfThatUser) {
  Api root = RootApi();
  root.Create("/users", {{"id", "nurse"}, {"password", ""}, {"name", "n"}, {"roles", "site:S"}});
  const std::string card = root.Create("/user-cards/nurse", {{"id", ""}, {"userId", "nurse"}});
  const Reply number = root.Get("/user-card/" + card + "/number");
  ASSERT_TRUE(number.value().IsString());
  const std::string digits = number.value().GetString();
  EXPECT_EQ(digits.size(), 16u);
  EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos);

  Api nurse(server());
  EXPECT_EQ(nurse.LogIn(digits).Text("userId"), "nurse");
  // Deleting the card ends log-ins with it; deleting the user ends the user's sessions.
  EXPECT_EQ(root.Delete("/user-card/" + card).code(), "100");
  EXPECT_EQ(Api(server()).LogIn(digits).code(), "403");
  EXPECT_EQ(root.Delete("/user/nurse").code(), "100");
  EXPECT_EQ(nurse.Get("/sites").code(), "402");
}

TEST_F(GateTest, UserGateChecksThePassword) {
  Api root = RootApi();
  root.Create("/users",
              {{"id", "doctor"}, {"password", "열쇠 123"}, {"name", "d"}, {"roles", "root"}});
  Api doctor(server());
  const Reply wrong =
      doctor.Post("/user/doctor/gate", LibraryJson({{"id", "doctor"}, {"password", "열쇠 124"}}));
  EXPECT_EQ(wrong.code(), "403");
  EXPECT_EQ(doctor.Post("/user/nobody/gate", LibraryJson({{"password", "x"}})).code(), "403");

  const Reply key =
      doctor.Post("/user/doctor/gate", LibraryJson({{"id", "doctor"}, {"password", "열쇠 123"}}));
  ASSERT_EQ(key.code(), "100") << key.body;
  EXPECT_EQ(key.Text("userId"), "doctor");
  doctor.set_key(key.Text("id"));
  EXPECT_TRUE(doctor.Get("/user/doctor/gate").value().IsTrue());
  EXPECT_TRUE(doctor.Get("/user/root/gate").value().IsFalse());
  EXPECT_EQ(doctor.Get("/sites").code(), "100");

  // Another user's key does not log the doctor out.
  EXPECT_EQ(root.Delete("/user/doctor/gate").code(), "100");
  EXPECT_TRUE(doctor.Get("/user/doctor/gate").value().IsTrue());
  EXPECT_EQ(root.Get("/sites").code(), "100");

  EXPECT_EQ(doctor.Delete("/user/doctor/gate").code(), "100");
  EXPECT_TRUE(doctor.Get("/user/doctor/gate").value().IsFalse());
  EXPECT_EQ(doctor.Get("/sites").code(), "402");
}

TEST_F(GateTest, ChangingAUserKeepsOrReplacesThePassword) {
  Api root = RootApi();
  root.Create("/users", {{"id", "u"}, {"password", "old"}, {"name", "n"}, {"roles", "root"}});
  const auto log_in = [&](const char* password) {
    return Api(server()).Post("/user/u/gate", LibraryJson({{"password", password}})).code();
  };
  root.Put("/user/u", LibraryJson({{"id", "u"}, {"password", ""}, {"name", "m"}}));
  EXPECT_EQ(log_in("old"), "100");
  root.Put("/user/u", LibraryJson({{"id", "u"}, {"password", "new"}, {"name", "m"}}));
  EXPECT_EQ(log_in("old"), "403");
  EXPECT_EQ(log_in("new"), "100");
}

TEST_F(GateTest, PasswordsAreNeverReturned) {
  Api root = RootApi();
  root.Create("/users", {{"id", "p"}, {"password", "hunter2"}, {"name", "n"}, {"roles", "r"}});
  for (const char* path : {"/users", "/user/p"}) {
    const Reply reply = root.Get(path);
    EXPECT_EQ(reply.body.find("hunter2"), std::string::npos) << reply.body;
    EXPECT_EQ(reply.body.find("password"), std::string::npos) << reply.body;
  }
}

TEST(GateStorageTest, PasswordsAreStoredOnlyAsSaltedHashes) {
  TemporaryFolder folder;
  const std::string db = (folder.path() / "velto.db").string();
  {
    ServerProcess server({"--db", db, "--files", (folder.path() / "files").string()});
    Api root(server);
    root.LogIn(server.admin_card());
    for (const char* id : {"a", "b"}) {
      root.Create("/users", {{"id", id}, {"password", "same password"}, {"name", id}});
    }
  }
  std::string bytes;
  for (const char* suffix : {"", "-wal"}) {
    std::ifstream in(db + suffix, std::ios::binary);
    bytes.append(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_EQ(bytes.find("same password"), std::string::npos);

  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> handle(raw, sqlite3_close);
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT passwordHash FROM users WHERE id IN ('a', 'b')", -1,
                               &statement, nullptr),
            SQLITE_OK);
  std::vector<std::string> hashes;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    hashes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  }
  sqlite3_finalize(statement);
  ASSERT_EQ(hashes.size(), 2u);
  EXPECT_EQ(hashes[0].rfind("pbkdf2-sha256$", 0), 0u) << hashes[0];
  EXPECT_NE(hashes[0], hashes[1]);  // salted
}

TEST(GateAdminCardTest, TheAdminCardFlagNamesTheRootCard) {
  ServerProcess server({"--memory", "--admin-card", "1234567890"});
  EXPECT_TRUE(server.admin_card().empty()) << "a chosen number is not printed";
  {
    Api api(server);
    const Reply key = api.LogIn("1234567890");
    EXPECT_EQ(key.Text("userId"), "root");
    EXPECT_EQ(api.Get("/user/root").Text("roles"), "root");
  }
  EXPECT_EQ(server.Stop(), 0);
}

}  // namespace
}  // namespace velto::test
