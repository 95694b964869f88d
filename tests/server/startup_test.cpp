// Starting the program: its flags, its first lines, its log, HTTPS, and start-ups that must
// fail with a message that says why.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "server_fixture.h"

namespace velto::test {
namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes a self-signed certificate and its key in `folder`.
void MakeCertificate(const std::filesystem::path& folder) {
  const std::string make =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
      "-keyout " +
      (folder / "key.pem").string() + " -out " + (folder / "cert.pem").string() +
      " >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0) << "openssl could not make a certificate";
}

// A listening socket that keeps its port taken for as long as it lives.
class TakenPort {
 public:
  TakenPort() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 1);
    socklen_t size = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  ~TakenPort() { close(fd_); }
  int port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

TEST(StartupTest, PrintsOneListeningLineWithTheChosenPort) {
  ServerProcess server({"--memory", "--host", "127.0.0.1"});
  EXPECT_EQ(server.banner().size(), 2u);  // the new root card, then the address
  EXPECT_EQ(server.url(), "http://127.0.0.1:" + std::to_string(server.port()));
  EXPECT_GT(server.port(), 0);
  EXPECT_EQ(server.admin_card().size(), 16u);
}

TEST(StartupTest, HelpExplainsEveryFlag) {
  // The help goes to standard output, which the wrapper sends where the test reads.
  const Exit help =
      RunServerToExit({"--help"}, {.wrapper = {"sh", "-c", "exec \"$@\" 1>&2", "sh"}});
  EXPECT_EQ(help.code, 0);
  const std::string& text = help.error_output;
  for (const char* flag :
       {"--host", "--port", "--db", "--files", "--memory", "--admin-card", "--session-idle",
        "--tls-cert", "--tls-key", "--max-upload", "--header-deadline", "--body-deadline",
        "--body-rate", "--workers", "--backlog", "--login-tries", "--login-wait", "--quiet"}) {
    EXPECT_NE(text.find(std::string(flag) + " "), std::string::npos) << flag;
  }
}

TEST(StartupTest, BadFlagsStopTheProgramWithTheirReason) {
  struct Case {
    std::vector<std::string> flags;
    const char* message;
  };
  const Case cases[] = {
      {{"--port", "nope"}, "--port"},
      {{"--port", "70000"}, "70000 not in range"},
      {{"--no-such-flag"}, "--no-such-flag"},
      {{"--session-idle", "-1"}, "-1 is not a number of seconds"},
      {{"--header-deadline", "0"}, "0 is not a number of seconds"},
      {{"--max-upload", "12Q"}, "q unit not recognized"},
      {{"--workers", "0"}, "0 not in range"},
      {{"--tls-cert", "/no/such/file", "--tls-key", "/no/such/file"}, "File does not exist"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--memory", "--port", "0"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    SCOPED_TRACE(c.flags.front());
    const Exit exit = RunServerToExit(args);
    EXPECT_TRUE(exit.code == 105 || exit.code == 109) << exit.code;  // CLI11's usage errors
    EXPECT_NE(exit.error_output.find(c.message), std::string::npos) << exit.error_output;
  }
}

TEST(StartupTest, UnusableResourcesStopTheProgramWithTheirReason) {
  TemporaryFolder folder;
  MakeCertificate(folder.path());
  const std::string cert = (folder.path() / "cert.pem").string();
  const std::string key = (folder.path() / "key.pem").string();
  const std::string garbage = (folder.path() / "garbage.pem").string();
  std::ofstream(garbage) << "not a certificate\n";
  const std::string not_a_db = (folder.path() / "not.db").string();
  std::ofstream(not_a_db) << std::string(8192, 'x');
  const std::string a_file = (folder.path() / "a-file").string();
  std::ofstream(a_file) << "x";
  const TakenPort taken;
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--memory", "--port", std::to_string(taken.port())},
       "cannot listen on 127.0.0.1:" + std::to_string(taken.port()) + ": Address already in use"},
      {{"--db", not_a_db, "--memory=false", "--files", (folder.path() / "f").string(), "--port",
        "0"},
       "cannot open the database " + not_a_db + ": file is not a database"},
      {{"--db", a_file + "/velto.db", "--files", (folder.path() / "f").string(), "--port", "0"},
       "cannot open the database " + a_file + "/velto.db: cannot create its folder"},
      {{"--db", (folder.path() / "ok.db").string(), "--files", a_file + "/files", "--port", "0"},
       "cannot use the files folder " + a_file + "/files"},
      {{"--memory", "--port", "0", "--tls-cert", garbage, "--tls-key", key},
       "cannot use the TLS certificate " + garbage},
      {{"--memory", "--port", "0", "--tls-cert", cert, "--tls-key", garbage},
       "cannot use the TLS key " + garbage},
      {{"--memory", "--port", "0", "--tls-cert", cert}, "--tls-cert and --tls-key go together"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const Exit exit = RunServerToExit(c.args);
    EXPECT_EQ(exit.code, 1);
    EXPECT_NE(exit.error_output.find("velto-server: " + c.message), std::string::npos)
        << exit.error_output;
  }
}

TEST(StartupTest, AFolderThatCannotBeWrittenStopsTheProgram) {
  TemporaryFolder folder;
  const auto locked = folder.path() / "locked";
  std::filesystem::create_directories(locked);
  const Launch launch{PrivateMount(locked, "1m", true), {}};
  if (launch.wrapper.empty()) {
    std::cerr
        << "\n!!! NO PRIVATE MOUNTS HERE (unshare -Urm): READ-ONLY FOLDERS ARE NOT TRIED !!!\n\n";
    GTEST_SKIP() << "unshare -Urm does not work on this machine";
  }
  const std::string db = (locked / "velto.db").string();
  const std::string files = (locked / "files").string();
  const std::string elsewhere = (folder.path() / "elsewhere").string();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--db", db, "--files", elsewhere + "/files", "--port", "0"},
       "cannot open the database " + db},
      {{"--db", elsewhere + "/velto.db", "--files", files, "--port", "0"},
       "cannot use the files folder " + files},
  };
  for (const auto& [args, message] : cases) {
    const Exit exit = RunServerToExit(args, launch);
    EXPECT_EQ(exit.code, 1);
    EXPECT_NE(exit.error_output.find(message), std::string::npos) << exit.error_output;
    EXPECT_NE(exit.error_output.find("Read-only file system"), std::string::npos)
        << exit.error_output;
  }
}

TEST(StartupTest, EachRequestIsOneLineOfTheLogUnlessQuiet) {
  TemporaryFolder folder;
  for (const bool quiet : {false, true}) {
    const std::string log = (folder.path() / (quiet ? "quiet" : "log")).string();
    {
      std::vector<std::string> flags{"--memory"};
      if (quiet) flags.push_back("--quiet");
      ServerProcess server(flags, {.error_output = log});
      Api api(server);
      api.LogIn(server.admin_card());
      api.Get("/persons/no-site?name=%ED%99%8D");
      api.Post("/user/root/gate", LibraryJson({{"password", "secret password"}}));
      EXPECT_EQ(server.Stop(), 0);
      const std::string text = Read(log);
      EXPECT_EQ(text.find(server.admin_card()), std::string::npos);
      EXPECT_EQ(text.find(api.key()), std::string::npos);
      EXPECT_EQ(text.find("secret"), std::string::npos);
    }
    const std::string text = Read(log);
    if (quiet) {
      EXPECT_EQ(text, "");
      continue;
    }
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
      lines.push_back(text.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0].rfind("velto-server: POST /user-card/20240305140709042123/gate 200 100 ", 0),
              0u)
        << lines[0];
    EXPECT_EQ(lines[1].rfind("velto-server: GET /persons/no-site?name= 200 301 ", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[2].rfind("velto-server: POST /user/root/gate 200 403 ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[2].substr(lines[2].size() - 3), " ms");
  }
}

TEST(StartupTest, ServesHttpsWithACertificate) {
  TemporaryFolder folder;
  MakeCertificate(folder.path());
  ServerProcess server({"--memory", "--tls-cert", (folder.path() / "cert.pem").string(),
                        "--tls-key", (folder.path() / "key.pem").string()});
  EXPECT_EQ(server.url().rfind("https://", 0), 0u) << server.url();
  {
    httplib::SSLClient client(server.host(), server.port());
    client.enable_server_certificate_verification(false);
    const auto reply = client.Post("/user-card/20240305140709042123/gate", server.admin_card(),
                                   "application/json; charset=utf-8");
    ASSERT_TRUE(reply) << httplib::to_string(reply.error());
    EXPECT_NE(reply->body.find("\"code\":\"100\""), std::string::npos) << reply->body;
    const auto again = client.Get("/sites", {{"key-id", "none"}});
    ASSERT_TRUE(again) << httplib::to_string(again.error());
    EXPECT_NE(again->body.find("\"code\":\"402\""), std::string::npos) << again->body;
  }
  EXPECT_EQ(server.Stop(), 0);
}

}  // namespace
}  // namespace velto::test
