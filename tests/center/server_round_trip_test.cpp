// The typed operations against velto-server, in the order a host uses them: the texts go
// out as the library writes them (\u escapes, URL-encoded names, "/" in ids, files with
// their media types) and must come back from the server as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "center_fixture.h"
#include "server_process.h"
#include "velto/file_dao.h"
#include "velto/host_stream.h"
#include "velto/issue_dao.h"
#include "velto/person_dao.h"
#include "velto/site_dao.h"
#include "velto/unicode.h"
#include "velto/user_card_dao.h"
#include "velto/velto_center.h"
#include "velto/velto_error.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

constexpr char kCard[] = "4000567856785678";

std::string EveryByteTwice() {
  std::string bytes;
  for (int i = 0; i < 512; ++i) bytes += static_cast<char>(i % 256);
  return bytes;
}

TVeltoPerson PersonNamed(std::u16string_view site, std::u16string_view id) {
  TVeltoPerson person;
  person.SiteId = site;
  person.Id = id;
  return person;
}

TVeltoSite SiteNamed(std::u16string_view id) {
  TVeltoSite site;
  site.Id = id;
  return site;
}

// The connection of CenterTest, pointed at velto-server instead of the peer.
class ServerRoundTripTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    TVeltoCenter::SetRoot(Utf8ToUtf16(server_.url()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    CenterTest::TearDown();
  }

  // Uploads `bytes` as a file named `name` to the issue, downloads it again and sums up
  // what the server made of it.
  std::string UploadAndDownload(const std::u16string& name, const std::string& bytes) {
    const fs::path path = folder_ / fs::path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    TVeltoFile file;
    file.IssueId = kIssue;
    file.HlscName = u"검사 1/2";
    file.HlscDate = u"20240305";
    const TVeltoFile made = TVeltoFileDAO::Add(file, path.u16string());
    HostStream stream;
    TVeltoFileDAO::GetData(made, stream.get());
    TVeltoFile search;
    search.IssueId = kIssue;
    search.FileName = name;
    const std::vector<TVeltoFile> found = TVeltoFileDAO::GetList(search);
    const TVeltoFile stored = TVeltoFileDAO::Get(made);
    return Utf16ToUtf8(stored.FileName + u" " + stored.HlscName) + " " +
           std::to_string(stored.FileSize) + " found " + std::to_string(found.size()) +
           (stream.Data() == bytes ? " same bytes" : " other bytes");
  }

  static constexpr const char16_t* kSite = u"s/1";
  static constexpr const char16_t* kPerson = u"p/1 &?#%+";
  static constexpr const char16_t* kIssue = u"i/1";
  static constexpr const char16_t* kName = u"이 가&/=+";

  ServerProcess server_{{"--memory", "--admin-card", kCard}};
  const fs::path folder_ = fs::temp_directory_path() /
                           ("velto-server-round-trip-" + std::to_string(std::random_device()()));
};

TEST_F(ServerRoundTripTest, TypedOperationsComeBackAsTheyWent) {
  const TVeltoPerson person{kSite, kPerson, kName, u"F", u"19800101", u"010-1/2", u""};
  const struct {
    std::string name;
    std::function<std::string()> run;
    std::string expected;  // "FAIL [code]" for a failure the server reported
  } steps[] = {
      {"log in with the card",
       [] {
         TVeltoCenter::SetKey(TVeltoUserCardDAO::Enter(Utf8ToUtf16(kCard)));
         return std::string(TVeltoUserCardDAO::Check() ? "accepted" : "refused");
       },
       "accepted"},
      {"a site and a person with Korean text and \"/\" in ids and values",
       [&] {
         TVeltoSiteDAO::Add({kSite, u"진료소 /1 \U0001F600", u""});
         TVeltoPersonDAO::Add(person);
         const TVeltoPerson read = TVeltoPersonDAO::Get(PersonNamed(kSite, kPerson));
         return Utf16ToUtf8(read.Id + u"|" + read.Name + u"|" + read.Phone + u"|" +
                            TVeltoSiteDAO::Get(SiteNamed(kSite)).Name);
       },
       Utf16ToUtf8(std::u16string(kPerson) + u"|" + kName + u"|010-1/2|진료소 /1 \U0001F600")},
      {"a person found by a Korean name",
       [] {
         TVeltoPerson search;
         search.SiteId = kSite;
         search.Name = kName;
         std::string ids;
         for (const TVeltoPerson& found : TVeltoPersonDAO::GetList(search)) {
           ids += Utf16ToUtf8(found.Id) + ";";
         }
         return ids;
       },
       Utf16ToUtf8(kPerson) + ";"},
      {"an issue",
       [] {
         return Utf16ToUtf8(
             TVeltoIssueDAO::Add({kSite, kPerson, kIssue, u"검사지 1/2", u"20991231"}).Name);
       },
       "검사지 1/2"},
      {"an image, byte for byte", [&] { return UploadAndDownload(u"scan.png", EveryByteTwice()); },
       "scan.png 검사 1/2 512 found 1 same bytes"},
      {"a document with a Korean name",
       [&] { return UploadAndDownload(u"진료 기록.pdf", "%PDF-1.4\n\xE2\xE3\n"); },
       "진료 기록.pdf 검사 1/2 12 found 1 same bytes"},
      {"a text file holding what looks like a form boundary",
       [&] { return UploadAndDownload(u"notes.txt", "a\r\n--x\r\nContent-Type: y\r\n\r\n"); },
       "notes.txt 검사 1/2 27 found 1 same bytes"},
      {"a FAIL for an unknown person",
       [] { return Utf16ToUtf8(TVeltoPersonDAO::Get(PersonNamed(kSite, u"nobody")).Id); },
       "FAIL [301]"},
      {"a FAIL for an id taken",
       [&] {
         TVeltoPersonDAO::Add(person);
         return std::string("added twice");
       },
       "FAIL [302]"},
      {"log out: the key is refused",
       [] {
         TVeltoUserCardDAO::Leave();
         return std::string(TVeltoUserCardDAO::Check() ? "accepted" : "refused");
       },
       "refused"},
      {"a FAIL for a read with the refused key",
       [] { return Utf16ToUtf8(TVeltoPersonDAO::Get(PersonNamed(kSite, kPerson)).Id); },
       "FAIL [402]"},
      {"a FAIL for an unknown card",
       [] { return Utf16ToUtf8(TVeltoUserCardDAO::Enter(u"0000111122223333").Id); }, "FAIL [403]"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    std::string result;
    try {
      result = step.run();
    } catch (const EVelto& error) {
      const std::u16string message = error.Message();
      result = "FAIL " + Utf16ToUtf8(message.substr(0, message.find(u']') + 1));
    } catch (const Exception& error) {
      result = std::string("not the server's failure: ") + error.what();
    }
    EXPECT_EQ(result, step.expected);
  }
}

}  // namespace
}  // namespace velto::test
