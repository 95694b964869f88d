// Where velto takes the library's settings from: flags before environment before INI file
// before the default, shown by "velto config" and used for the log-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_fixture.h"

namespace velto::test {
namespace {

using Variables = std::vector<std::pair<std::string, std::string>>;

struct ConfigCase {
  const char* name;
  std::vector<std::string> arguments;  // "{ini}" stands for the INI file's absolute name
  Variables variables;
  int status;
  std::string out;  // "{ini}" as above
};

// A case shows by its name in test lists.
void PrintTo(const ConfigCase& row, std::ostream* out) {
  *out << row.name;
}

class CliConfigTest : public CliTest, public ::testing::WithParamInterface<ConfigCase> {
 protected:
  std::string IniFile() {
    const std::filesystem::path file = folder_.path() / "velto.ini";
    std::ofstream(file) << "[global]\nroot = http://ini.example\nUserCardNumber='1111222233334444'"
                           "\nSiteId=ini-site\nMaxReplySize=1k\nReplyTimeout=soon\n";
    const std::u8string name = file.u8string();
    return std::string(name.begin(), name.end());
  }

  static std::string Filled(std::string text, const std::string& ini) {
    for (size_t at; (at = text.find("{ini}")) != std::string::npos;) text.replace(at, 5, ini);
    return text;
  }
};

TEST_P(CliConfigTest, ShowsEachSettingWithItsSource) {
  const ConfigCase& test = GetParam();
  const std::string ini = IniFile();
  std::vector<std::string> arguments;
  for (const std::string& argument : test.arguments) arguments.push_back(Filled(argument, ini));
  const CliResult result = RunCli({arguments, "", test.variables, folder_.path()});
  EXPECT_EQ(result.status, test.status) << result.err;
  EXPECT_EQ(result.out, Filled(test.out, ini));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliConfigTest,
    ::testing::Values(
        ConfigCase{
            "defaults",
            {"config"},
            {},
            0,
            "root: http://127.0.0.1:8080 (default)\ncard: (none) (default)\n"
            "site: (none) (default)\n"
            "max-reply-size: 67108864 bytes (default)\nreply-timeout: 120 seconds (default)\n"},
        ConfigCase{"ini_file",
                   {"--ini", "{ini}", "config"},
                   {},
                   0,
                   "root: http://ini.example ({ini})\ncard: ************4444 ({ini})\n"
                   "site: ini-site ({ini})\n"
                   "max-reply-size: 1024 bytes ({ini})\nreply-timeout: 120 seconds (default)\n"},
        // Without a folder the name means the working folder, not the Windows folder.
        ConfigCase{"ini_file_in_working_folder",
                   {"config", "--ini", "velto.ini"},
                   {},
                   0,
                   "root: http://ini.example ({ini})\ncard: ************4444 ({ini})\n"
                   "site: ini-site ({ini})\n"
                   "max-reply-size: 1024 bytes ({ini})\nreply-timeout: 120 seconds (default)\n"},
        ConfigCase{"environment_before_ini_file",
                   {"--ini", "{ini}", "config"},
                   {{"VELTO_CARD", "9999888877776666"}, {"VELTO_SITE", "env-site"}},
                   0,
                   "root: http://ini.example ({ini})\ncard: ************6666 (VELTO_CARD)\n"
                   "site: env-site (VELTO_SITE)\n"
                   "max-reply-size: 1024 bytes ({ini})\nreply-timeout: 120 seconds (default)\n"},
        ConfigCase{"flags_before_environment",
                   {"--ini", "{ini}", "--root", "http://flag.example", "--site", "", "config",
                    "--card", "12"},
                   {{"VELTO_ROOT", "http://env.example"}, {"VELTO_SITE", "env-site"}},
                   0,
                   "root: http://flag.example (--root)\ncard: 12 (--card)\n"
                   "site: (none) (--site)\n"
                   "max-reply-size: 1024 bytes ({ini})\nreply-timeout: 120 seconds (default)\n"},
        ConfigCase{"reply_limit_flags_before_ini_file",
                   {"--ini", "{ini}", "--max-reply-size", "2M", "config", "--reply-timeout", "5"},
                   {},
                   0,
                   "root: http://ini.example ({ini})\ncard: ************4444 ({ini})\n"
                   "site: ini-site ({ini})\nmax-reply-size: 2097152 bytes (--max-reply-size)\n"
                   "reply-timeout: 5 seconds (--reply-timeout)\n"},
        ConfigCase{"missing_ini_file", {"--ini", "no-such.ini", "config"}, {}, 2, ""},
        ConfigCase{"size_that_is_no_size", {"--max-reply-size", "64MB", "config"}, {}, 2, ""},
        ConfigCase{"timeout_of_zero", {"--reply-timeout", "0", "config"}, {}, 2, ""}),
    [](const auto& row) { return std::string(row.param.name); });

// The card the session prologue logs in with is the strongest one given.
struct LogInCase {
  const char* name;
  std::vector<std::string> flags;
  Variables variables;
  std::string card;
};

// A case shows by its name in test lists.
void PrintTo(const LogInCase& row, std::ostream* out) {
  *out << row.name;
}

class CliLogInTest : public CliTest, public ::testing::WithParamInterface<LogInCase> {};

TEST_P(CliLogInTest, LogsInWithTheStrongestCard) {
  const LogInCase& test = GetParam();
  const std::filesystem::path ini = folder_.path() / "velto.ini";
  std::ofstream(ini) << "[Global]\nRoot=" << peer_.Root() << "\nUserCardNumber=1111\n";
  // The session is not live: the prologue logs in, then the operation is sent.
  peer_.SetResponder([](const PeerRequest& request) {
    if (request.Method() == "POST" && request.Target().ends_with("/gate")) {
      return Value(R"({"userId":"u1","id":"key-1"})");
    }
    return Value(request.Method() == "GET" && request.Target().ends_with("/gate") ? "false" : "{}");
  });
  std::vector<std::string> arguments = test.flags;
  arguments.insert(arguments.begin(), {"--ini", ini.string()});
  arguments.insert(arguments.end(), {"call", "User_Get", "x1"});
  const CliResult result = RunCli({arguments, "", test.variables, folder_.path()});
  EXPECT_EQ(result.status, 0) << result.err;
  std::string logged_in_with;
  for (const PeerRequest& request : peer_.Requests()) {
    if (request.Method() == "POST") logged_in_with = request.Body();
  }
  EXPECT_EQ(logged_in_with, test.card);
}

// Misspelt keys are named on standard error by every command, "config" included; the root
// they left empty shows as empty, with what that means.
TEST_F(CliTest, UnknownIniKeysAreNamed) {
  const std::filesystem::path ini = folder_.path() / "velto.ini";
  std::ofstream(ini) << "[Global]\nRot=http://x\nUserCardNumbr=1111\nsiteid=s1\n; Note=1\n"
                        "[Other]\nElsewhere=1\n";
  const std::vector<std::vector<std::string>> commands = {
      {"--ini", ini.string(), "config"},
      {"--ini", ini.string(), "--root", peer_.Root(), "call", "Portal_GetPortalUrl", "p1"}};
  for (const std::vector<std::string>& command : commands) {
    const CliResult result = RunCli({command, "", {}, folder_.path()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("\"Rot\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\"UserCardNumbr\""), std::string::npos) << result.err;
    for (const char* known_or_elsewhere : {"siteid", "Note", "Elsewhere"}) {
      EXPECT_EQ(result.err.find(known_or_elsewhere), std::string::npos) << result.err;
    }
  }
  const CliResult config = RunCli({commands[0], "", {}, folder_.path()});
  EXPECT_NE(config.out.find("root: (empty: every request fails"), std::string::npos) << config.out;
}

// A log-in without a card would only count towards the server's lockout of this address:
// velto refuses before anything is sent, and says how to give one. The composed portal
// address logs in nowhere and needs none.
TEST_F(CliTest, CommandWithoutACardSendsNothing) {
  const CliResult refused =
      RunCli({{"--root", peer_.Root(), "call", "User_Get", "x1"}, "", {}, folder_.path()});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("--card"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("VELTO_CARD"), std::string::npos) << refused.err;
  EXPECT_TRUE(peer_.Requests().empty());

  const CliResult composed = RunCli(
      {{"--root", peer_.Root(), "call", "Portal_GetPortalUrl", "p1"}, "", {}, folder_.path()});
  EXPECT_EQ(composed.status, 0) << composed.err;
}

// The library takes the limits of the flags through a temporary INI file, which goes
// again; the limit and the TLS keys of --ini that no flag replaces still apply.
TEST_F(CliTest, ReplyLimitFlagsBindTheLibrary) {
  const std::filesystem::path temporary = folder_.path() / "tmp";
  std::filesystem::create_directory(temporary);
  const std::filesystem::path ini = folder_.path() / "velto.ini";
  std::ofstream(ini) << "[Global]\nMaxReplySize=1K\nTlsVerify=0\n";
  const auto answer = [](TestPeer& peer) {
    peer.SetResponder([](const PeerRequest& request) {
      const bool check = request.Method() == "GET" && request.Target().ends_with("/gate");
      return check ? Value("true") : Value('"' + std::string(2048, 'x') + '"');
    });
  };
  const auto run = [&](const TestPeer& peer, std::vector<std::string> flags) {
    flags.insert(flags.end(), {"--root", peer.Root(), "--card", kCard, "--site", "s1", "call",
                               "User_Get", "x1"});
    return RunCli({flags, "", {{"TMPDIR", temporary.string()}}, folder_.path()});
  };
  answer(peer_);
  CliResult result = run(peer_, {"--max-reply-size", "2K"});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.err.find("2048 bytes, the limit that MaxReplySize sets"), std::string::npos)
      << result.err;
  EXPECT_EQ(run(peer_, {"--max-reply-size", "3K"}).status, 0);
  result = run(peer_, {"--ini", ini.string(), "--reply-timeout", "100"});
  EXPECT_NE(result.err.find("1024 bytes, the limit that MaxReplySize sets"), std::string::npos)
      << result.err;
#ifndef _WIN32  // the peer speaks TLS on Linux
  TestPeer tls(TestPeer::Mode::Tls);
  answer(tls);
  result = run(tls, {"--ini", ini.string(), "--max-reply-size", "3K"});
  EXPECT_EQ(result.status, 0) << "TlsVerify=0 of --ini applies: " << result.err;
#endif
  EXPECT_TRUE(std::filesystem::is_empty(temporary));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliLogInTest,
    ::testing::Values(LogInCase{"ini_file", {}, {}, "1111"},
                      LogInCase{"environment", {}, {{"VELTO_CARD", "2222"}}, "2222"},
                      LogInCase{"flag", {"--card", "3333"}, {{"VELTO_CARD", "2222"}}, "3333"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velto::test
