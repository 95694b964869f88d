// Uploads and downloads through velto: the file's bytes on the wire, the downloaded file in
// place only when the whole download succeeded.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "cli_fixture.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

const std::string kBytes =
    std::string("\x00\x01\xFF\r\n binary \x7F", 15) + std::string(70000, 'z');

std::string Contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace(name.begin(), name.end());
  }
  return names;
}

TEST_F(CliTest, UploadSendsTheFileWithItsDetails) {
  const std::string name = "검사 결과.bin";
  std::ofstream(folder_.path() / fs::path(std::u8string(name.begin(), name.end())),
                std::ios::binary)
      << kBytes;
  Answer(Value("true"), Value(R"({"id":"f1","fileName":"검사 결과.bin"})"));
  const CliResult result = Velto({"upload", "--hlsc-name", "CT", "--", "-i1", name});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "{\n  \"id\": \"f1\",\n  \"fileName\": \"검사 결과.bin\"\n}\n");
  const std::vector<PeerRequest> operations = Operations();
  ASSERT_EQ(operations.size(), 1u);
  EXPECT_EQ(operations[0].Target(), "/files/-i1");
  const std::string body = operations[0].Body();
  EXPECT_NE(body.find(kBytes), std::string::npos);
  EXPECT_NE(body.find("CT"), std::string::npos);
}

TEST_F(CliTest, DownloadWritesTheFile) {
  Answer(Value("true"), PeerReply::Http("HTTP/1.1 200 OK", kBytes));
  const CliResult result = Velto({"download", "f1", "-o", "목록.bin"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(Contents(folder_.path() / fs::path(u8"목록.bin")), kBytes);
  EXPECT_EQ(Operations().at(0).Target(), "/file/f1/data");
}

// A download that fails, at once or half-way, leaves a file of that name as it was and
// nothing beside it.
struct FailedDownload {
  const char* name;
  PeerReply reply;
};

// A case shows by its name in test lists.
void PrintTo(const FailedDownload& row, std::ostream* out) {
  *out << row.name;
}

class CliFailedDownloadTest : public CliTest,
                              public ::testing::WithParamInterface<FailedDownload> {};

TEST_P(CliFailedDownloadTest, LeavesNoPartialFile) {
  std::ofstream(folder_.path() / "kept.bin", std::ios::binary) << "old";
  const std::set<std::string> before = Names(folder_.path());
  Answer(Value("true"), GetParam().reply);
  const CliResult result = Velto({"download", "f1", "-o", "kept.bin"});
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.err, "");
  EXPECT_EQ(Contents(folder_.path() / "kept.bin"), "old");
  std::set<std::string> after = Names(folder_.path());
  after.erase("stdout");
  after.erase("stderr");
  after.erase("stdin");
  EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailedDownloadTest,
    ::testing::Values(
        FailedDownload{"refused", PeerReply::Http("HTTP/1.1 404 Not Found")},
        FailedDownload{
            "cut_short",
            PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nhalf").Close()}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velto::test
