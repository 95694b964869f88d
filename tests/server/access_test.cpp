// Who may do what: administrators manage users, cards and sites; everybody else works with
// persons and what belongs to them, and with its own user record and cards.
#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

#include "route_cases.h"
#include "server_fixture.h"

namespace velto::test {
namespace {

using AccessTest = ServerTest;

// A user logged in with a card of its own; `roles` decide what it may do.
Api LoggedIn(Api& root, const ServerProcess& server, const std::string& id,
             const std::string& roles) {
  root.Create("/users", {{"id", id}, {"password", ""}, {"name", id}, {"roles", roles}});
  const std::string card = root.Create("/user-cards/" + id, {{"id", ""}, {"userId", id}});
  Api api(server);
  EXPECT_EQ(api.LogIn(root.Get("/user-card/" + card + "/number").value().GetString()).code(),
            "100");
  return api;
}

TEST_F(AccessTest, AUserWhoIsNoAdministratorCannotBecomeOne) {
  Api root = RootApi();
  const World w = MakeWorld(root, "a");
  Api nurse = LoggedIn(root, server(), "nurse-a", "site:" + w.site);
  const std::string root_card = root.Get("/user-cards/root").value()[0]["id"].GetString();
  struct Case {
    const char* verb;
    std::string path;
    std::string body;
  };
  const Case refused[] = {
      {"GET", "/users", ""},
      {"GET", "/user/root", ""},
      {"GET", "/user-cards/root", ""},
      {"GET", "/user-card/" + root_card + "/number", ""},
      {"DELETE", "/user-card/" + root_card, ""},
      {"PUT", "/user/root", LibraryJson({{"id", "root"}, {"password", "mine"}})},
      {"PUT", "/user/nurse-a", LibraryJson({{"name", "n"}, {"roles", "root"}})},
      {"POST", "/users", LibraryJson({{"id", "evil"}, {"password", "x"}, {"roles", "root"}})},
      {"POST", "/user-cards/nurse-a", LibraryJson({{"id", ""}, {"userId", "nurse-a"}})},
      {"DELETE", "/user/root", ""},
      {"POST", "/sites", LibraryJson({{"id", "new"}, {"name", "n"}})},
      {"PUT", "/site/" + w.site, LibraryJson({{"name", "renamed"}})},
      {"DELETE", "/site/" + w.site, ""},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(std::string(c.verb) + " " + c.path);
    const std::string verb = c.verb;
    const Reply reply = verb == "GET"      ? nurse.Get(c.path)
                        : verb == "DELETE" ? nurse.Delete(c.path)
                        : verb == "PUT"    ? nurse.Put(c.path, c.body)
                                           : nurse.Post(c.path, c.body);
    EXPECT_EQ(reply.code(), "405") << reply.body;
    EXPECT_NE(reply.body.find("Not allowed"), std::string::npos) << reply.body;
  }
  EXPECT_EQ(nurse.PostForm("/site/" + w.site + "/logo", LogoParts()).code(), "405");
  // Nothing of it happened.
  EXPECT_EQ(root.Get("/user/nurse-a").Text("roles"), "site:" + w.site);
  EXPECT_EQ(root.Get("/user-cards/root").value().Size(), 1u);
  EXPECT_EQ(root.Get("/site/" + w.site).Text("name"), "병원 a");
  EXPECT_EQ(root.Get("/user/evil").code(), "301");
  EXPECT_EQ(Api(server()).Post("/user/root/gate", LibraryJson({{"password", "mine"}})).code(),
            "403");
}

TEST_F(AccessTest, AUserWorksWithItsOwnRecordCardsAndThePersons) {
  Api root = RootApi();
  const World w = MakeWorld(root, "b");
  Api nurse = LoggedIn(root, server(), "nurse-b", "site:" + w.site);
  EXPECT_EQ(nurse.Get("/user/nurse-b").code(), "100");
  // Its own record, roles sent back unchanged (as the library sends a whole user).
  const Reply changed = nurse.Put("/user/nurse-b", LibraryJson({{"id", "nurse-b"},
                                                                {"password", "new"},
                                                                {"name", "간호사"},
                                                                {"roles", "site:" + w.site}}));
  EXPECT_EQ(changed.code(), "100") << changed.body;
  EXPECT_EQ(changed.Text("name"), "간호사");
  const Reply cards = nurse.Get("/user-cards/nurse-b");
  ASSERT_EQ(cards.value().Size(), 1u);
  const std::string card = cards.value()[0]["id"].GetString();
  EXPECT_EQ(nurse.Get("/user-card/" + card + "/number").code(), "100");
  for (const std::string& path :
       {std::string("/sites"), "/site/" + w.site, "/persons/" + w.site + "?name=",
        "/issue/" + w.issue, "/files/" + w.issue + "?name=", "/survey/" + w.survey + "/values"}) {
    EXPECT_EQ(nurse.Get(path).code(), "100") << path;
  }
  EXPECT_EQ(nurse.Post("/persons/" + w.site, LibraryJson({{"id", "p-b"}, {"name", "n"}})).code(),
            "100");
  EXPECT_EQ(nurse.PostForm("/files/" + w.issue, UploadParts("x", "x.txt", "", "")).code(), "100");
  EXPECT_EQ(nurse.Delete("/issue/" + w.issue).code(), "100");
  // Its own card it may give up, too.
  EXPECT_EQ(nurse.Delete("/user-card/" + card).code(), "100");
}

// Logged in with the card of the world's own user, whose roles are "site:" and the world's site.
Api SiteUser(Api& root, const ServerProcess& server, const World& w) {
  Api api(server);
  EXPECT_EQ(api.LogIn(root.Get("/user-card/" + w.card + "/number").value().GetString()).code(),
            "100");
  return api;
}

// Routes about persons and what belongs to them; users, cards and sites are not kept per site,
// and the portal page needs no key.
bool IsPerSite(const RouteCase& route) {
  const std::string_view path = route.path;
  return !path.starts_with("/user") && !path.starts_with("/site") && !path.ends_with("/gate");
}

// Everything of a world's site, as the root user reads it without leaving a trace in a log.
std::string Snapshot(Api& root, const World& w) {
  std::string all;
  for (const char* path :
       {"/persons/{site}?name=", "/person/{site}/{person}", "/consent/{site}/{person}",
        "/issues/{site}/{person}?name=", "/issue/{issue}", "/files/{issue}?name=",
        "/portals/{site}/{person}?name=", "/portal/{portal}", "/surveys/{issue}",
        "/survey/{survey}/values", "/messages/{site}?personId=&searchFrom=&searchTo=",
        "/billing/{site}?personId=&classCd=&searchFrom=&searchTo=",
        "/files/{site}/log?personId=&fileId=&action=&searchFrom=&searchTo=",
        "/persons/{site}/enter?personId=&searchFrom=&searchTo="}) {
    all += root.Get(Fill(path, w, false)).body + "\n";
  }
  return all;
}

TEST_F(AccessTest, ASiteUserWorksOnlyWithThePersonsOfItsSite) {
  Api root = RootApi();
  const World other = MakeWorld(root, "other");
  const std::string before = Snapshot(root, other);
  int world = 0;
  for (const RouteCase& route : kRoutes) {
    if (!IsPerSite(route)) continue;
    SCOPED_TRACE(route);
    // Each route may change or delete what it reaches, so each gets a site of its own.
    const World own = MakeWorld(root, "own" + std::to_string(world++));
    Api user = SiteUser(root, server(), own);
    const Reply refused = Send(user, route, other, false);
    const Reply done = Send(user, route, own, false);
    if (route.raw) {
      EXPECT_EQ(refused.status, 403);
      EXPECT_EQ(done.status, 200);
    } else {
      EXPECT_EQ(refused.code(), "405") << refused.body;
      EXPECT_NE(refused.body.find("Not allowed"), std::string::npos) << refused.body;
      EXPECT_EQ(done.code(), "100") << done.body;
    }
  }
  EXPECT_EQ(Snapshot(root, other), before);
}

TEST_F(AccessTest, SiteRolesDecideWhichSitesAUserWorksWith) {
  Api root = RootApi();
  const World a = MakeWorld(root, "roles-a");
  const World b = MakeWorld(root, "roles-b");
  struct Case {
    const char* roles;
    bool at_a;
    bool at_b;
  };
  const std::string both = "site:" + a.site + "; SITE:" + b.site;
  std::string b_in_capitals = b.site;
  for (char& c : b_in_capitals) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string upper_b = "site:" + a.site + " site:" + b_in_capitals;
  const Case cases[] = {
      {both.c_str(), true, true}, {upper_b.c_str(), true, false},  // the site id is exact
      {"nurse", false, false},    {"", false, false},
      {"Admin", true, true},
  };
  int user = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.roles);
    Api api = LoggedIn(root, server(), "roles-" + std::to_string(user++), c.roles);
    for (const World* w : {&a, &b}) {
      const bool allowed = w == &a ? c.at_a : c.at_b;
      const char* expected = allowed ? "100" : "405";
      EXPECT_EQ(api.Get(Fill("/persons/{site}?name=", *w, false)).code(), expected);
      EXPECT_EQ(api.Get(Fill("/survey/{survey}/values", *w, false)).code(), expected);
      EXPECT_EQ(api.Put(Fill("/person/{site}/{person}", *w, false),
                        LibraryJson({{"phone", "010-" + std::to_string(user)}}))
                    .code(),
                expected);
      // Every user reads the site records.
      EXPECT_EQ(api.Get(Fill("/site/{site}", *w, false)).code(), "100");
    }
  }
}

// A refused upload is answered from its header alone: its body is never waited for.
TEST_F(AccessTest, AnUploadToAnotherSiteIsRefusedBeforeItsBody) {
  Api root = RootApi();
  const World own = MakeWorld(root, "early-a");
  const World other = MakeWorld(root, "early-b");
  Api user = SiteUser(root, server(), own);
  const std::string head = "POST /files/" + other.issue +
                           " HTTP/1.1\r\nHost: x\r\nkey-id: " + user.key() +
                           "\r\nContent-Type: multipart/form-data; boundary=b"
                           "\r\nContent-Length: 100000000\r\n\r\n";
  EXPECT_EQ(ReplyOf(RawExchange(server().host(), server().port(), head)).code(), "405");
  EXPECT_EQ(root.Get("/files/" + other.issue + "?name=").value().Size(), 1u);
}

TEST_F(AccessTest, AnAdministratorProvisionsSitesUsersAndCards) {
  Api root = RootApi();
  Api admin = LoggedIn(root, server(), "admin-c", "admin");
  EXPECT_EQ(admin.Post("/sites", LibraryJson({{"id", "site-c"}, {"name", "s"}})).code(), "100");
  admin.Create("/users",
               {{"id", "user-c"}, {"password", "p"}, {"name", "u"}, {"roles", "site:site-c"}});
  EXPECT_EQ(admin.Get("/user-cards/user-c").value().Size(), 0u);
  const std::string card = admin.Create("/user-cards/user-c", {{"id", ""}, {"userId", "user-c"}});
  const Reply number = admin.Get("/user-card/" + card + "/number");
  ASSERT_TRUE(number.value().IsString()) << number.body;
  EXPECT_EQ(Api(server()).LogIn(number.value().GetString()).Text("userId"), "user-c");
  EXPECT_EQ(admin.PostForm("/site/site-c/logo", LogoParts()).code(), "100");
  EXPECT_EQ(admin.Put("/user/user-c", LibraryJson({{"roles", "site:other"}})).code(), "100");
  EXPECT_EQ(admin.Delete("/user/user-c").code(), "100");
}

TEST_F(AccessTest, HeadRequestsChangeNothing) {
  Api root = RootApi();
  const World w = MakeWorld(root, "h");
  const std::string log =
      "/files/" + w.site + "/log?personId=&fileId=&action=&searchFrom=&searchTo=";
  const std::string visits = "/persons/" + w.site + "/enter?personId=&searchFrom=&searchTo=";
  httplib::Client client(server().host(), server().port());
  for (const std::string& path :
       {"/file/" + w.file, "/file/" + w.file + "/data", "/portal/" + w.portal + "/gate",
        "/portal/" + w.portal + "/file/" + w.file}) {
    const auto reply = client.Head(path, {{"key-id", root.key()}});
    ASSERT_TRUE(reply) << path;
    EXPECT_EQ(reply->status, 200) << path;
  }
  EXPECT_EQ(root.Get(log).value().Size(), 0u);
  EXPECT_EQ(root.Get(visits).value().Size(), 0u);
}

TEST(LogInThrottleTest, RepeatedFailuresFromOneAddressMustWait) {
  ServerProcess server({"--memory", "--login-tries", "2", "--login-wait", "600", "--quiet"});
  const auto card_log_in = [&](const std::string& number, const std::string& source) {
    const std::string request =
        "POST /user-card/1/gate HTTP/1.0\r\nContent-Length: " + std::to_string(number.size()) +
        "\r\n\r\n" + number;
    return ReplyOf(RawExchange(server.host(), server.port(), request, {.source = source}));
  };
  EXPECT_EQ(card_log_in("1111", "127.0.0.1").code(), "403");
  EXPECT_EQ(Api(server).Post("/user/root/gate", LibraryJson({{"password", "x"}})).code(), "403");
  // Now even the right card must wait, at both gates, from this address only.
  const Reply waiting = card_log_in(server.admin_card(), "127.0.0.1");
  EXPECT_EQ(waiting.code(), "429");
  EXPECT_NE(waiting.body.find("try again in 600 s"), std::string::npos) << waiting.body;
  EXPECT_EQ(Api(server).Post("/user/root/gate", LibraryJson({{"password", "x"}})).code(), "429");
  EXPECT_EQ(card_log_in(server.admin_card(), "127.0.0.2").code(), "100");
}

}  // namespace
}  // namespace velto::test
