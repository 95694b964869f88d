// Starting the program: its flags, its first line, HTTPS.
#include <gtest/gtest.h>

#include <cstdlib>

#include "server_fixture.h"

namespace velto::test {
namespace {

TEST(StartupTest, PrintsOneListeningLineWithTheChosenPort) {
  ServerProcess server({"--memory", "--host", "127.0.0.1"});
  EXPECT_EQ(server.banner().size(), 2u);  // the new root card, then the address
  EXPECT_EQ(server.url(), "http://127.0.0.1:" + std::to_string(server.port()));
  EXPECT_GT(server.port(), 0);
  EXPECT_EQ(server.admin_card().size(), 16u);
}

TEST(StartupTest, BadFlagsStopTheProgram) {
  for (const char* flags : {"--port nope", "--port 70000", "--no-such-flag", "--session-idle -1",
                            "--tls-cert /no/such/file --tls-key /no/such/file"}) {
    SCOPED_TRACE(flags);
    const std::string command =
        std::string(VELTO_SERVER_PATH) + " --memory " + flags + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
  }
}

TEST(StartupTest, ServesHttpsWithACertificate) {
  TemporaryFolder folder;
  const std::string cert = (folder.path() / "cert.pem").string();
  const std::string key = (folder.path() / "key.pem").string();
  const std::string make =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
      "-keyout " +
      key + " -out " + cert + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0) << "openssl could not make a certificate";

  ServerProcess server({"--memory", "--tls-cert", cert, "--tls-key", key});
  EXPECT_EQ(server.url().rfind("https://", 0), 0u) << server.url();
  {
    httplib::SSLClient client(server.host(), server.port());
    client.enable_server_certificate_verification(false);
    const auto reply = client.Post("/user-card/20240305140709042123/gate", server.admin_card(),
                                   "application/json; charset=utf-8");
    ASSERT_TRUE(reply) << httplib::to_string(reply.error());
    EXPECT_NE(reply->body.find("\"code\":\"100\""), std::string::npos) << reply->body;
  }
  EXPECT_EQ(server.Stop(), 0);
}

}  // namespace
}  // namespace velto::test
