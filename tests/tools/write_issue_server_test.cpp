// velto write-issue --example as a new user takes it: its document, as it is, against a
// velto-server set up as the demo sets it up (a site, and a clerk whose card logs in).
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "issue_document_example.h"
#include "scratch_folder.h"
#include "server_process.h"

namespace velto::test {
namespace {

TEST(WriteIssueServerTest, TheExampleIsWrittenAsItIs) {
  ServerProcess server({"--memory"});
  ASSERT_FALSE(server.admin_card().empty());
  ScratchFolder folder("write-issue");
  const auto velto = [&](const std::string& card, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--root", server.url(), "--card", card});
    return RunCli({arguments, {}, {}, folder.path()});
  };

  ASSERT_EQ(velto(server.admin_card(), {"site-add", "demo-clinic", "Demo Clinic"}).status, 0);
  CliResult clerk = velto(server.admin_card(), {"user-add", "clerk", "Clerk Kim", "demo-clinic",
                                                "--password", "demo-pass"});
  ASSERT_EQ(clerk.status, 0) << clerk.err;
  const std::string card = clerk.out.substr(0, clerk.out.find_first_of("\r\n"));

  const CliResult example = velto(card, {"write-issue", "--example"});
  ASSERT_EQ(example.status, 0) << example.err;
  std::ofstream(folder.path() / "issue.json", std::ios::binary) << example.out;
  for (const std::string& name : UploadedFiles(example.out)) {
    std::ofstream(folder.path() / name) << "within the normal range\n";
  }

  const CliResult written = velto(card, {"--site", "demo-clinic", "write-issue", "issue.json"});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(written.err, "");
  EXPECT_NE(written.out.find(server.url()), std::string::npos) << written.out;

  rapidjson::Document document;
  document.Parse(example.out.c_str());
  const CliResult read = velto(card, {"--site", "demo-clinic", "read", document["id"].GetString()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_NE(read.out.find(document["issue"]["name"].GetString()), std::string::npos) << read.out;
  for (const std::string& name : UploadedFiles(example.out)) {
    EXPECT_NE(read.out.find(name), std::string::npos) << read.out;
  }
  server.Stop();
}

}  // namespace
}  // namespace velto::test
