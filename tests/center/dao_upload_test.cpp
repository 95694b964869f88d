// The two uploads on the wire: the site logo and a file of an issue, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "center_fixture.h"
#include "dao_test_support.h"
#include "form_expectation.h"
#include "scratch_path.h"
#include "velto/closed_port.h"
#include "velto/file_dao.h"
#include "velto/site_dao.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

const std::string kLogoBytes("\x89PNG\r\n\x1A\n\0\xFF", 10);
const std::string kScanBytes("scan\0\r\n--------boundary-like\r\n", 30);

// Real files in the temporary folder. The scan's path ends in "\scan.png": on Windows a
// file in a folder, elsewhere a file whose name holds the backslash; either way its bare
// name is scan.png.
class UploadTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    fs::create_directories(folder_);
    Write(logo_, kLogoBytes);
    Write(scan_, kScanBytes);
  }
  void TearDown() override {
    fs::remove(fs::path(scan_));  // beside the folder where "\\" separates nothing
    fs::remove_all(folder_);
    CenterTest::TearDown();
  }

  static void Write(const std::u16string& path, const std::string& bytes) {
    std::ofstream(fs::path(path), std::ios::binary) << bytes;
  }

  const fs::path folder_ = ScratchPath("dao");
  const std::u16string logo_ = (folder_ / "velto site logo.png").u16string();
  const std::u16string scan_ = folder_.u16string() + u"\\scan.png";
};

TVeltoFile FileRecord() {
  TVeltoFile file;
  file.SiteId = u"s1";
  file.PersonId = u"p1";
  file.IssueId = u"i 7/8";
  file.FileName = u"report.pdf";  // never sent: the name comes from the local path
  file.HlscDate = u"2024-03-05 10:00";
  file.FileSize = 123456;
  return file;
}

TEST_F(UploadTest, SendsEachFormByteForByte) {
  const struct {
    std::string name;
    std::function<std::string()> call;
    std::string target;
    std::vector<Part> parts;
    std::string result;
  } cases[] = {
      {"logo",
       Summed([&] {
         TVeltoSiteDAO::SetLogo({u"\uAC00 1", u"Clinic", u"old"}, logo_);
       }),
       "/site/logo",
       {{Part::Text, "id", "%EA%B0%80+1"},
        {Part::File, "file", kLogoBytes, "velto site logo.png", "image/png"},
        {Part::Bare, "file-name", "velto+site+logo.png"}},
       ""},
      {"logo without a file",
       Summed([] {
         TVeltoSiteDAO::SetLogo({u"s1", u"Clinic", u""}, u"");
       }),
       "/site/logo",
       {{Part::Text, "id", "s1"}, {Part::Text, "file-name", ""}},
       ""},
      {"issue file",
       Summed([&] { return TVeltoFileDAO::Add(FileRecord(), scan_); }),
       "/files/i%207%2F8",
       {{Part::File, "file", kScanBytes, "scan.png", "image/png"},
        {Part::Bare, "file-name", "scan.png"},
        {Part::Bare, "hlscName", ""},
        {Part::Bare, "hlscDate", "2024-03-05+10%3A00"}},
       "f-new"},
  };
  TVeltoCenter::SetKey({u"", u"k-1"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = peer_.Requests().size();
    peer_.Enqueue(ServerReply("100", R"({"id":"f-new","fileSize":30})"));
    EXPECT_EQ(c.call(), c.result);
    ASSERT_EQ(peer_.Requests().size(), before + 1);
    const PeerRequest request = peer_.Requests().back();
    EXPECT_EQ(request.Method(), "POST");
    EXPECT_EQ(request.Target(), c.target);
    EXPECT_EQ(request.Header("key-id"), "k-1");
    const std::string body = FormBody(BoundaryOf(request), c.parts);
    EXPECT_EQ(request.Body(), body);
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(request.Body().find("report.pdf"), std::string::npos);
  }
}

TEST_F(UploadTest, AFileThatCannotBeOpenedFailsBeforeAnythingIsSent) {
  const std::u16string missing = folder_.u16string() + u"\\missing.png";
  const std::function<void()> calls[] = {
      [&] {
        TVeltoSiteDAO::SetLogo({u"s1", u"", u""}, missing);
      },
      [&] { TVeltoFileDAO::Add(FileRecord(), missing); },
      [] { TVeltoFileDAO::Add(FileRecord(), u""); },
  };
  for (const auto& call : calls) EXPECT_THROW(call(), Exception);
  EXPECT_TRUE(peer_.Requests().empty());
}

TEST_F(UploadTest, PassesEveryFailureOn) {
  const DaoOperation operations[] = {
      {"logo", ValueKind::Nothing, Summed([&] {
         TVeltoSiteDAO::SetLogo({u"s1", u"", u""}, logo_);
       })},
      {"issue file", ValueKind::Record,
       Summed([&] { return TVeltoFileDAO::Add(FileRecord(), scan_); })},
  };
  for (const DaoOperation& operation : operations) {
    for (const FailureCase& failure : FailureCases()) {
      if (!failure.AppliesTo(operation.kind)) continue;
      SCOPED_TRACE(operation.name + ": " + failure.name);
      peer_.Enqueue(failure.reply);
      ExpectFailure(operation.call, failure.raised, failure.message);
    }
  }
  WhileBusy(peer_, [&] {
    for (const DaoOperation& operation : operations) {
      ExpectFailure(operation.call, Raised::Busy, u"");
    }
  });
  const ClosedPort closed;
  TVeltoCenter::SetRoot(Utf8ToUtf16(closed.Root()));
  for (const DaoOperation& operation : operations) {
    ExpectFailure(operation.call, Raised::Transport, u"");
  }
}

}  // namespace
}  // namespace velto::test
