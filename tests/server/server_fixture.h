#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "api_client.h"
#include "server_process.h"

namespace velto::test {

// The records a test works on, created through the routes themselves.
struct World {
  std::string site, person, person2, issue, file, portal, survey, user, card;
  std::string file_bytes;
};

// A site with two persons; the first has an issue with a file and a survey, a portal and a
// consent; plus a user with a card. Ids end in `tag`.
World MakeWorld(Api& api, const std::string& tag);

// One velto-server ("--memory") for the tests of a suite, and a logged-in client.
class ServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  static ServerProcess& server() { return *server_; }
  // A client logged in with the root user's card.
  static Api RootApi();

 private:
  static std::unique_ptr<ServerProcess> server_;
};

}  // namespace velto::test
