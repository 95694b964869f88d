// velto's arguments and output, the real program against the capturing peer: what it prints
// on each side and the status it exits with, for each way an export call can end.
#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "export_catalog.h"
#include "velto/export_table.h"

namespace velto::test {
namespace {

struct OutputCase {
  const char* name;
  std::vector<std::string> arguments;
  PeerReply gate;
  PeerReply reply;
  int status;
  std::string out;  // exactly
  std::string err;  // contained in what it printed on standard error
  size_t operations;
  std::string target = {};  // of the first operation, when given
  std::string input = {};   // standard input
};

// A case shows by its name in test lists.
void PrintTo(const OutputCase& row, std::ostream* out) {
  *out << row.name;
}

const PeerReply kLive = Value("true");
const PeerReply kRecord = Value(R"({"id":"x1","n":[1,"가"],"big":9007199254740993,"e":[]})");
const PeerReply kGone = PeerReply::Json(R"({"code":"301","message":"gone","value":null})");
const PeerReply kServerError = PeerReply::Http("HTTP/1.1 500 Internal Server Error");

// An issue document for a person whose id needs escaping in a path; the site is velto's.
const std::string kDocument =
    R"({"id":"p/1","name":"Kim","issue":{"name":"blood","endTime":"2099-12-31","files":[]},)"
    R"("portal":{"name":"results","endTime":"2099-12-31"}})";

const char kIndentedRecord[] = R"({
  "id": "x1",
  "n": [
    1,
    "가"
  ],
  "big": 9007199254740993,
  "e": []
}
)";

class CliOutputTest : public CliTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(CliOutputTest, PrintsAndExitsAsDocumented) {
  const OutputCase& test = GetParam();
  Answer(test.gate, test.reply);
  const CliResult result = Velto(test.arguments, test.input);
  EXPECT_EQ(result.status, test.status) << result.err;
  EXPECT_EQ(result.out, test.out);
  if (test.err.empty()) {
    EXPECT_EQ(result.err, "");
  } else {
    EXPECT_NE(result.err.find(test.err), std::string::npos) << result.err;
  }
  const std::vector<PeerRequest> operations = Operations();
  ASSERT_EQ(operations.size(), test.operations);
  if (!test.target.empty()) {
    EXPECT_EQ(operations[0].Target(), test.target);
  }
}

// Data nested deeper than anyone reads is printed as the library wrote it (with line feeds
// for its CR LF), not laid out again with a margin per level, which for these 200 kB would
// take gigabytes.
TEST_F(CliTest, PrintsDeeplyNestedDataWithoutAMarginPerLevel) {
  constexpr int kDepth = 100000;
  const std::string nested = std::string(kDepth, '[') + std::string(kDepth, ']');
  Answer(kLive, Value(nested));
  const CliResult result = Velto({"call", "User_Get", "x1"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_LT(result.out.size(), 2 * nested.size());
  EXPECT_NE(result.out.find("[[[[[[[[[[]]]]]]]]]]"), std::string::npos);
  EXPECT_TRUE(result.out.starts_with("[\n  [\n    [\n")) << result.out.substr(0, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliOutputTest,
    ::testing::Values(
        OutputCase{
            "data_indented", {"call", "User_Get", "x1"}, kLive, kRecord, 0, kIndentedRecord, "", 1},
        OutputCase{"envelope_as_returned",
                   {"--envelope", "call", "User_Get", "x1"},
                   kLive,
                   Value(R"({"id":"x1"})"),
                   0,
                   "{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"{\\r\\n  \\\"id\\\": "
                   "\\\"x1\\\"\\r\\n}\"\r\n}\n",
                   "",
                   1},
        // Found before anything is sent: no request reaches the server.
        OutputCase{"mistyped_command",
                   {"dowload", "f1", "-o", "out.bin"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "velto: no command \"dowload\"; did you mean \"download\"?",
                   0},
        OutputCase{"mistyped_command_after_options",
                   {"--quiet", "--site", "s2", "confg"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "did you mean \"config\"?",
                   0},
        OutputCase{"upload_of_a_missing_file",
                   {"upload", "i1", "missing.bin"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "velto: cannot read missing.bin",
                   0},
        OutputCase{"fail_envelope",
                   {"call", "User_Get", "x1"},
                   kLive,
                   kGone,
                   1,
                   "",
                   "velto: [301] gone\n",
                   1},
        OutputCase{"control_characters_escaped",
                   {"call", "UserCard_GetNumber", "c1"},
                   kLive,
                   PeerReply::Json(
                       R"({"code":"301","message":"\u001b[2Jgone\r\u009b2J\u0085é","value":null})"),
                   1,
                   "",
                   "velto: [301] \\x1b[2Jgone\\x0d\\u009b2J\\u0085é\n",
                   1},
        // The record's text is written again as JSON: raw C1 controls (CSI) and DEL there
        // must not reach the terminal either.
        OutputCase{"control_characters_in_data_escaped",
                   {"call", "User_Get", "x1"},
                   kLive,
                   Value(R"({"id\u009b":"\u009b2J\u0085\u007f\u001bé"})"),
                   0,
                   "{\n  \"id\\u009B\": \"\\u009B2J\\u0085\\u007F\\u001Bé\"\n}\n",
                   "",
                   1},
        // A text value that is JSON itself is shown indented; an escaped surrogate without its
        // other half is no character and shows as U+FFFD.
        OutputCase{"unpaired_surrogate_in_text_data",
                   {"call", "UserCard_GetNumber", "c1"},
                   kLive,
                   Value(R"("[\"a\\udd1e\\ud83d\\ude00\"]")"),
                   0,
                   "[\n  \"a\xEF\xBF\xBD\xF0\x9F\x98\x80\"\n]\n",
                   "",
                   1},
        OutputCase{"fail_envelope_as_returned",
                   {"--envelope", "call", "User_Get", "x1"},
                   kLive,
                   kGone,
                   1,
                   "{\r\n  \"code\": \"FAIL\",\r\n  \"data\": \"[301] gone\"\r\n}\n",
                   "",
                   1},
        OutputCase{"left_export",
                   {"call", "User_Get", "x1"},
                   kServerError,
                   kRecord,
                   3,
                   "",
                   "500 Internal Server Error",
                   0},
        OutputCase{"plain_text_data",
                   {"call", "UserCard_GetNumber", "c1"},
                   kLive,
                   Value(R"("0012 3456")"),
                   0,
                   "0012 3456\n",
                   "",
                   1},
        OutputCase{"empty_data", {"call", "User_Delete", "x1"}, kLive, Value("null"), 0, "", "", 1},
        OutputCase{"argument_with_a_dash",
                   {"call", "User_Get", "-x1"},
                   kLive,
                   kRecord,
                   0,
                   kIndentedRecord,
                   "",
                   1,
                   "/user/-x1"},
        OutputCase{"unknown_export",
                   {"call", "User_Fly", "x1"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "no export User_Fly",
                   0},
        OutputCase{"too_many_arguments",
                   {"call", "User_Get", "x1", "x2"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "User_Get takes 1 argument(s) (UserId), 2 given",
                   0},
        OutputCase{"too_few_arguments",
                   {"call", "Person_Get", "s1"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "Person_Get takes 2 argument(s) (SiteId, PersonId), 1 given",
                   0},
        OutputCase{"library_export_by_name",
                   {"call", "VeltoEnter", kCard},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "VeltoEnter is not called by name",
                   0},
        OutputCase{"no_export_name", {"call"}, kLive, kRecord, 2, "", "call needs", 0},
        OutputCase{
            "unknown_flag", {"--fly", "call", "User_Get", "x1"}, kLive, kRecord, 2, "", "--fly", 0},
        OutputCase{"missing_argument",
                   {"download", "f1"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "--output is required",
                   0},
        OutputCase{"missing_document",
                   {"write-issue", "no-such.json"},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "cannot read no-such.json",
                   0},
        OutputCase{"document_is_a_folder",
                   {"write-issue", "."},
                   kLive,
                   kRecord,
                   2,
                   "",
                   "velto: cannot read .\n",
                   0},
        OutputCase{"document_from_standard_input",
                   {"write-issue", "-"},
                   kLive,
                   kServerError,
                   1,
                   "",
                   "500 Internal Server Error",
                   1,
                   "/person/s1/p%2F1",
                   "\xEF\xBB\xBF" + kDocument},
        OutputCase{"no_object_from_standard_input",
                   {"write-issue", "-"},
                   kLive,
                   kRecord,
                   3,
                   "",
                   "velto: ",
                   0,
                   "",
                   "[1]"}),
    [](const auto& row) { return std::string(row.param.name); });

// The composed address needs the root, which only the run knows.
TEST_F(CliTest, ComposedAddressIsPrintedAsText) {
  const CliResult result = Velto({"call", "Portal_GetPortalUrl", "p/1"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, peer_.Root() + "/portal/p%2F1/gate\n");
}

// Every export of the tables, but those velto sets up itself, with its parameters.
TEST_F(CliTest, CallHelpListsEveryExportWithItsParameters) {
  const CliResult result = Velto({"call", "--help"});
  EXPECT_EQ(result.status, 0);
  size_t listed = 0;
  for (std::string_view name : ExportNames()) {
    const std::optional<cli::CallableExport> callable = cli::FindCallable(name);
    if (!callable) {
      EXPECT_TRUE(name.starts_with("Velto")) << name;  // VeltoOpen, VeltoInit...
      continue;
    }
    std::string line = std::string("\n  ").append(name);
    for (std::string_view parameter : callable->parameters) line.append(" ").append(parameter);
    EXPECT_NE(result.out.find(line + "\n"), std::string::npos) << line;
    ++listed;
  }
  EXPECT_GE(listed, std::size(kPassThroughOperations));
}

#ifndef _WIN32
// A result that never reached standard output is no success, though the export succeeded;
// a closed descriptor must not be taken over by the library's connection either.
class CliLostOutputTest : public CliTest, public ::testing::WithParamInterface<StandardOutput> {};

TEST_P(CliLostOutputTest, OutputThatCannotBeWrittenFails) {
  Answer(kLive, kRecord);
  const std::vector<std::vector<std::string>> commands = {{"call", "User_Get", "x1"},
                                                          {"download", "x1", "-o", "-"}};
  for (const std::vector<std::string>& command : commands) {
    std::vector<std::string> arguments = {"--root", peer_.Root(), "--card", kCard};
    arguments.insert(arguments.end(), command.begin(), command.end());
    const CliResult result = RunCli({arguments, "", {}, folder_.path(), GetParam()});
    EXPECT_EQ(result.status, 2) << command[0] << ": " << result.err;
    EXPECT_NE(result.err.find("standard output"), std::string::npos) << result.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Outputs, CliLostOutputTest,
                         ::testing::Values(StandardOutput::Closed, StandardOutput::BrokenPipe),
                         [](const auto& row) {
                           return row.param == StandardOutput::Closed ? "closed" : "broken_pipe";
                         });
#endif

TEST_F(CliTest, HelpDocumentsTheExitStatus) {
  const CliResult result = Velto({"--help"});
  EXPECT_EQ(result.status, 0);
  for (const char* line : {"  0  success", "  1  the export returned a FAIL envelope",
                           "  2  usage error", "  3  the export failed without a result"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace velto::test
