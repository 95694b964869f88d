// The issue document velto explains and checks before VeltoWriteIssue sees it: the real
// program against the capturing peer, which must see nothing of a refused document.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_fixture.h"
#include "issue_document_example.h"

namespace velto::test {
namespace {

struct BrokenDocument {
  const char* name;
  std::string document;
  std::string message;  // contained in standard error
};

void PrintTo(const BrokenDocument& row, std::ostream* out) {
  *out << row.name;
}

// Complete but for what each case changes; its one file exists in the run's folder.
std::string Document(const std::string& id, const std::string& issue, const std::string& portal) {
  return R"({)" + id + R"("issue":)" + issue + R"(,"portal":)" + portal + "}";
}
const std::string kId = R"("id":"p1",)";
const std::string kIssue =
    R"({"name":"n","endTime":"e","files":[{"fileName":"a.txt","hlscName":"h","hlscDate":"d"}]})";
const std::string kPortal = R"({"name":"r","endTime":"e"})";

class IssueDocumentTest : public CliTest {
 protected:
  void SetUp() override { std::ofstream(folder_.path() / "a.txt") << "bytes"; }
};

class BrokenDocumentTest : public IssueDocumentTest,
                           public ::testing::WithParamInterface<BrokenDocument> {};

TEST_P(BrokenDocumentTest, IsRefusedNamingTheMemberBeforeAnythingIsSent) {
  Answer(Value("true"), Value("{}"));
  const CliResult result = Velto({"write-issue", "-"}, GetParam().document);
  EXPECT_EQ(result.status, 2) << result.err;
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_TRUE(peer_.Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, BrokenDocumentTest,
    ::testing::Values(
        BrokenDocument{"no_id", Document("", kIssue, kPortal), R"(member "id" is missing)"},
        BrokenDocument{"id_an_object", Document(R"("id":{},)", kIssue, kPortal),
                       R"(member "id" must be text, not an object)"},
        BrokenDocument{"person_name_a_boolean", Document(kId + R"("name":true,)", kIssue, kPortal),
                       R"(member "name" must be text, not a boolean)"},
        BrokenDocument{"no_issue", R"({"id":"p1","portal":)" + kPortal + "}",
                       R"(member "issue" is missing)"},
        BrokenDocument{"issue_an_array", Document(kId, "[]", kPortal),
                       R"(member "issue" must be an object, not an array)"},
        BrokenDocument{"no_issue_name", Document(kId, R"({"endTime":"e","files":[]})", kPortal),
                       R"(member "issue.name" is missing)"},
        BrokenDocument{"files_a_string",
                       Document(kId, R"({"name":"n","endTime":"e","files":"a.txt"})", kPortal),
                       R"(member "issue.files" must be an array of objects, not a string)"},
        BrokenDocument{"file_a_number",
                       Document(kId, R"({"name":"n","endTime":"e","files":[7]})", kPortal),
                       R"(member "issue.files[0]" must be an object, not a number)"},
        BrokenDocument{
            "second_file_without_date",
            Document(kId,
                     R"({"name":"n","endTime":"e","files":[{"fileName":"a.txt","hlscName":"h",)"
                     R"("hlscDate":"d"},{"fileName":"a.txt","hlscName":"h"}]})",
                     kPortal),
            R"(member "issue.files[1].hlscDate" is missing)"},
        BrokenDocument{
            "file_not_there",
            Document(kId,
                     R"({"name":"n","endTime":"e","files":[{"fileName":"gone.txt",)"
                     R"("hlscName":"h","hlscDate":"d"}]})",
                     kPortal),
            R"(member "issue.files[0].fileName" names a file that cannot be read: gone.txt)"},
        BrokenDocument{"no_portal", R"({"id":"p1","issue":)" + kIssue + "}",
                       R"(member "portal" is missing)"},
        BrokenDocument{"portal_end_null", Document(kId, kIssue, R"({"name":"r","endTime":null})"),
                       R"(member "portal.endTime" must be text, not null)"}),
    [](const auto& row) { return std::string(row.param.name); });

// The export ignores members it does not read, so a misspelt optional one would be lost
// without a word: velto names each and goes on. A number where text is read is taken, as
// the export takes it.
TEST_F(IssueDocumentTest, UnreadMembersAreNamedAndTheDocumentIsSent) {
  Answer(Value("true"), Value("{}"));
  const std::string document =
      R"({"id":17,"phon":"010","issue":{"name":"n","endTime":"e","files":[{"fileName":"a.txt",)"
      R"("hlscName":"h","hlscDate":"d","size":5}]},"portal":)" +
      kPortal + "}";
  const CliResult result = Velto({"write-issue", "-"}, document);
  EXPECT_NE(result.err.find(R"(velto: member "phon" is not read by write-issue)"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(R"(member "issue.files[0].size" is not read)"), std::string::npos)
      << result.err;
  ASSERT_FALSE(Operations().empty());
  EXPECT_NE(Operations().front().Target().find("/17"), std::string::npos);
}

// The example, the help and the check agree: every member of the example is listed, and
// the example passes the check (its upload reaches the peer).
TEST_F(IssueDocumentTest, ExampleAndHelpNameTheSameMembers) {
  const CliResult example = Velto({"write-issue", "--example"});
  ASSERT_EQ(example.status, 0) << example.err;
  rapidjson::Document parsed;
  parsed.Parse(example.out.c_str());
  ASSERT_TRUE(parsed.IsObject()) << example.out;
  std::vector<std::string> paths;
  CollectMemberPaths(parsed, "", paths);

  const CliResult help = Velto({"write-issue", "--help"});
  ASSERT_EQ(help.status, 0);
  for (const std::string& path : paths) {
    EXPECT_NE(help.out.find("\n  " + path + " "), std::string::npos) << path;
  }
  EXPECT_NE(help.out.find("required for a new person"), std::string::npos);

  for (const std::string& name : UploadedFiles(example.out)) {
    std::ofstream(folder_.path() / name) << "bytes";
  }
  Answer(Value("true"), Value("{}"));
  const CliResult written = Velto({"write-issue", "-"}, example.out);
  EXPECT_FALSE(Operations().empty()) << written.err;
  EXPECT_EQ(written.err.find("member"), std::string::npos) << written.err;
}

TEST_F(IssueDocumentTest, WithoutDocumentOrExampleIsAUsageError) {
  const CliResult result = Velto({"write-issue"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("--example"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace velto::test
