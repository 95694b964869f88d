// Every route of the protocol, once with records that exist and once with records that do not.
#include <gtest/gtest.h>

#include <string>

#include "route_cases.h"
#include "server_fixture.h"

namespace velto::test {
namespace {

bool NamesRecords(const RouteCase& route) {
  return Fill(route.path, World{}, true) != route.path || route.body == Body::kLogoFormWithId;
}

using RouteTest = ServerTest;

// Each route changes or deletes records, so each gets a world of its own.
TEST_F(RouteTest, EveryRouteSucceedsOnExistingRecords) {
  Api api = RootApi();
  int world = 0;
  for (const RouteCase& route : kRoutes) {
    SCOPED_TRACE(route);
    const World w = MakeWorld(api, std::to_string(world++));
    const Reply reply = Send(api, route, w, false);
    EXPECT_EQ(reply.status, 200);
    if (!route.raw) {
      EXPECT_EQ(reply.code(), "100") << reply.body;
    }
  }
}

TEST_F(RouteTest, EveryRouteAnswers301ForMissingRecords) {
  Api api = RootApi();
  const World w = MakeWorld(api, "w");
  for (const RouteCase& route : kRoutes) {
    if (!NamesRecords(route)) continue;
    SCOPED_TRACE(route);
    const Reply reply = Send(api, route, w, true);
    if (route.raw) {
      EXPECT_EQ(reply.status, 404);
    } else {
      EXPECT_EQ(reply.status, 200);
      EXPECT_EQ(reply.code(), "301") << reply.body;
    }
  }
}

TEST_F(RouteTest, EveryRouteButThePortalGateNeedsALiveKey) {
  Api api = RootApi();
  const World w = MakeWorld(api, "w");
  Api no_key(server());
  Api bad_key(server());
  bad_key.set_key("not-a-key");
  for (const RouteCase& route : kRoutes) {
    if (std::string(route.path) == "/portal/{portal}/gate") continue;
    SCOPED_TRACE(route);
    const Reply missing = Send(no_key, route, w, false);
    const Reply rejected = Send(bad_key, route, w, false);
    if (route.raw) {
      EXPECT_EQ(missing.status, 401);
      EXPECT_EQ(rejected.status, 401);
    } else {
      EXPECT_EQ(missing.code(), "401") << missing.body;
      EXPECT_EQ(rejected.code(), "402") << rejected.body;
    }
  }
  // Nothing was changed by the refused requests.
  EXPECT_EQ(api.Get("/site/" + w.site).Text("name"), "병원 w");
  EXPECT_EQ(api.Get("/user/" + w.user).code(), "100");
}

TEST_F(RouteTest, UnknownRoutesAreHttpNotFound) {
  Api api = RootApi();
  for (const char* path : {"/", "/nothing", "/sites/extra/segments", "/site"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(api.Get(path).status, 404);
  }
  EXPECT_EQ(api.Put("/sites", "{}").status, 404);
}

}  // namespace
}  // namespace velto::test
