// Uploads and downloads through velto: the file's bytes on the wire, the downloaded file in
// place only when the whole download succeeded.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>

#include <csignal>
#endif

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

TEST_F(CliTest, DownloadToADashWritesStandardOutput) {
  Answer(Value("true"), PeerReply::Http("HTTP/1.1 200 OK", kBytes));
  const CliResult result = Velto({"download", "f1", "-o", "-"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, kBytes);
  EXPECT_FALSE(fs::exists(folder_.path() / "-"));
}

#ifndef _WIN32
fs::perms Permissions(const fs::path& path) {
  return fs::status(path).permissions() & fs::perms::mask;
}

TEST_F(CliTest, DownloadThroughALinkReplacesTheFileItPointsTo) {
  const fs::path file = folder_.path() / "real.bin", link = folder_.path() / "link.bin";
  std::ofstream(file, std::ios::binary) << "old";
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.bin", link);
  Answer(Value("true"), PeerReply::Http("HTTP/1.1 200 OK", kBytes));
  const CliResult result = Velto({"download", "f1", "-o", "link.bin"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Contents(file), kBytes);
  EXPECT_EQ(Permissions(file), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(CliTest, DownloadIntoAFileKeepsItsPermissions) {
  const fs::path file = folder_.path() / "private.bin";
  std::ofstream(file, std::ios::binary) << "old";
  const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(file, kept);
  Answer(Value("true"), PeerReply::Http("HTTP/1.1 200 OK", kBytes));
  EXPECT_EQ(Velto({"download", "f1", "-o", "private.bin"}).status, 0);
  EXPECT_EQ(Contents(file), kBytes);
  EXPECT_EQ(Permissions(file), kept);
}

// A FIFO, named directly or through a link, is written into and stays a FIFO.
class CliFifoDownloadTest : public CliTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliFifoDownloadTest, WritesThroughTheFifo) {
  const fs::path fifo = folder_.path() / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("pipe", folder_.path() / "pipe-link");
  std::string received;
  // Opening blocks until velto opens its end; velto's exit closes it and ends the read.
  std::thread reader([&] { received = Contents(fifo); });
  Answer(Value("true"), PeerReply::Http("HTTP/1.1 200 OK", kBytes));
  const CliResult result = Velto({"download", "f1", "-o", GetParam()});
  if (result.status != 0) std::ofstream(fifo, std::ios::binary) << "";  // frees the reader
  reader.join();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(received, kBytes);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
  EXPECT_TRUE(fs::is_symlink(folder_.path() / "pipe-link"));
}

INSTANTIATE_TEST_SUITE_P(Targets, CliFifoDownloadTest, ::testing::Values("pipe", "pipe-link"),
                         [](const auto& row) {
                           std::string name = row.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// An interrupted download ends as a shell reports the signal, removes its partial file and
// leaves the target as it was.
class CliInterruptedDownloadTest : public CliTest, public ::testing::WithParamInterface<int> {};

TEST_P(CliInterruptedDownloadTest, RemovesThePartialFile) {
  std::ofstream(folder_.path() / "kept.bin", std::ios::binary) << "old";
  PeerReply slow = PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nhalf");
  slow.pieces.push_back({std::chrono::seconds(20), "never sent"});
  Answer(Value("true"), slow);
  const auto partial_exists = [this] {
    for (const auto& entry : fs::directory_iterator(folder_.path())) {
      if (entry.path().extension() == ".part") return true;
    }
    return false;
  };
  const std::vector<std::string> arguments = {"--root",   peer_.Root(), "--card", kCard,
                                              "download", "f1",         "-o",     "kept.bin"};
  const CliResult result =
      RunCliInterrupted({arguments, {}, {}, folder_.path()}, partial_exists, GetParam());
  EXPECT_EQ(result.status, 128 + GetParam()) << result.err;
  EXPECT_FALSE(partial_exists());
  EXPECT_EQ(Contents(folder_.path() / "kept.bin"), "old");
}

// On a terminal the progress bar is redrawn in place: no drawn line reaches the terminal's
// last column, so none wraps into debris.
class CliProgressWidthTest : public CliTest,
                             public ::testing::WithParamInterface<unsigned short> {};

TEST_P(CliProgressWidthTest, NeverWraps) {
  const std::string body(400000, 'b');
  PeerReply slow = PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 400000\r\n\r\n");
  for (size_t at = 0; at < body.size(); at += 50000) {
    slow.pieces.push_back({std::chrono::milliseconds(120), body.substr(at, 50000)});
  }
  Answer(Value("true"), slow);
  const unsigned short columns = GetParam();
  const CliResult result =
      RunCli({{"--root", peer_.Root(), "--card", kCard, "download", "f1", "-o", "out.bin"},
              "",
              {},
              folder_.path(),
              StandardOutput::File,
              columns});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("receiving"), std::string::npos) << result.err;
  size_t line_start = 0;
  for (size_t at = 0; at <= result.err.size(); ++at) {
    if (at == result.err.size() || result.err[at] == '\r' || result.err[at] == '\n') {
      EXPECT_LT(at - line_start, columns) << result.err.substr(line_start, at - line_start);
      line_start = at + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Columns, CliProgressWidthTest, ::testing::Values(40, 80),
                         [](const auto& row) { return std::to_string(row.param); });

INSTANTIATE_TEST_SUITE_P(Signals, CliInterruptedDownloadTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& row) {
                           return row.param == SIGINT ? "SIGINT" : "SIGTERM";
                         });
#endif

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
