// Transfers that go wrong half-way: the host's stream refusing bytes of a download, the
// file of an upload shrinking or the server no longer taking it, and an authority file
// that cannot be used. Each fails the operation, reports no success and leaves the
// connection usable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "center_fixture.h"
#include "filling_stream.h"
#include "recording_events.h"
#include "velto/dao.h"
#include "velto/file_dao.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A path in the temporary folder that no other test or checkout uses.
fs::path UniquePath(const std::string& stem) {
  std::random_device random;
  return fs::temp_directory_path() /
         (stem + "-" + std::to_string(random()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// The connection still serves a plain request after a failed one.
void ExpectTheConnectionStillWorks(TestPeer& peer) {
  peer.Enqueue(PeerReply::Json("{\"after\":1}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/after"), u"{\"after\":1}");
}

// Runs `call`, which must fail with an Exception whose message holds `fragment`.
void ExpectFailureMentioning(const std::function<void()>& call, const std::u16string& fragment) {
  try {
    call();
    ADD_FAILURE() << "reported success";
  } catch (const Exception& error) {
    EXPECT_NE(error.Message().find(fragment), std::u16string::npos) << error.what();
  }
}

TEST_F(CenterTest, ADownloadFailsWhenTheHostStreamTakesLessThanItIsGiven) {
  constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);  // E_FAIL
  const std::string body(300000, '\x5A');
  const struct {
    std::string name;
    size_t room;
    HRESULT answer;
  } cases[] = {
      {"refuses the first bytes", 0, kFail},
      {"refuses in the middle", 70000, kFail},
      {"writes less, claiming success", 70000, 0},
      {"writes less at the last byte", body.size() - 1, 0},
  };
  const TVeltoFile file{u"s1", u"p1", u"i1", u"f1", u"", u"", u"", u"", 0};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillingStream stream(c.room, c.answer);
    peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", body));
    ExpectFailureMentioning([&] { TVeltoFileDAO::GetData(file, stream.get()); },
                            u"Stream write error");
    EXPECT_EQ(stream.Data(), body.substr(0, c.room));
    EXPECT_EQ(stream.References(), 1u) << "no reference is left behind";
    ExpectTheConnectionStillWorks(peer_);
  }
}

// An upload whose file or server goes wrong once the first bytes are on their way.
class BrokenUploadTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    // Larger than what the sockets on both sides buffer, so a server that reads nothing
    // holds the upload up.
    std::ofstream(path_, std::ios::binary) << std::string(48 << 20, 'u');
    TVeltoCenter::GetInstance().WorkEvents().Reset(&events_.com);
  }
  void TearDown() override {
    TVeltoCenter::GetInstance().WorkEvents().Reset(nullptr);
    fs::remove(path_);
    CenterTest::TearDown();
  }

  const fs::path path_ = UniquePath("velto-broken-upload");
  RecordingEvents events_;
};

TEST_F(BrokenUploadTest, FailsWithoutReportingSuccess) {
  const fs::path& path = path_;
  const struct {
    std::string name;
    std::optional<PeerReply> reply;  // none: a complete request is answered with a 500
    std::chrono::seconds stall_timeout;
    std::function<void()> once_sending;  // at the first progress of the upload
    std::u16string fragment;
  } cases[] = {
#ifndef _WIN32  // Windows lets nobody write to a file that is being sent
      {"the file shrinks", std::nullopt, 10s, [&] { fs::resize_file(path, 1000); },
       u"became shorter while it was sent"},
#endif
      {"the server stops reading the body",
       PeerReply::Json(R"({"code":"100","value":{"id":"f1"}})").AfterHead().Pause(30s), 1s, [] {},
       u"the server sent or took no data for 1 seconds"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(path, std::ios::binary | std::ios::app);  // exists, whatever came before
    fs::resize_file(path, 48 << 20);
    TransportSettings settings;
    settings.stall_timeout = c.stall_timeout;
    TVeltoCenter::SetSettings(settings);
    bool sending = false;
    events_.on_call = [&](const std::string& call) {
      if (!sending && call.starts_with("work 1 ")) {
        sending = true;
        c.once_sending();
      }
    };
    if (c.reply) peer_.Enqueue(*c.reply);
    TVeltoFile file;
    file.IssueId = u"i1";
    ExpectFailureMentioning([&] { TVeltoFileDAO::Add(file, path.u16string()); }, c.fragment);
    EXPECT_TRUE(sending) << "the upload had begun";
    events_.on_call = {};
    TVeltoCenter::SetSettings({});
    ExpectTheConnectionStillWorks(peer_);
  }
}

#ifndef _WIN32  // the TLS peer needs OpenSSL, which the Windows build does not have
class AuthorityFileTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    TVeltoCenter::SetRoot(Utf8ToUtf16(tls_peer_.Root()));
  }
  void TearDown() override {
    fs::remove(path_);
    CenterTest::TearDown();
  }

  const fs::path path_ = UniquePath("velto-authorities");
  TestPeer tls_peer_{TestPeer::Mode::Tls};
};

// An authority file that cannot be used fails every request, naming the file, with or
// without verification: it trusts nothing more, and never less.
TEST_F(AuthorityFileTest, ThatCannotBeUsedFailsTheRequestBeforeAnythingIsSent) {
  const struct {
    std::string name;
    const char* contents;  // null: no file
  } cases[] = {
      {"missing", nullptr},
      {"empty", ""},
      {"garbage", "-----BEGIN CERTIFICATE-----\nnot base64 at all\n-----END CERTIFICATE-----\n"},
      {"binary", "\x30\x82\x01\x00\xFF\xFE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(path_);
    if (c.contents != nullptr) std::ofstream(path_, std::ios::binary) << c.contents;
    for (const bool verify : {true, false}) {
      TransportSettings settings;
      settings.ca_file = path_.string();
      settings.tls_verify = verify;
      TVeltoCenter::SetSettings(settings);
      tls_peer_.Enqueue(PeerReply::Json("{}"));
      try {
        TVeltoDAO::DoGet(u"/x");
        ADD_FAILURE() << "no failure; verification " << verify;
      } catch (const TransportError& error) {
        EXPECT_EQ(error.Message(), u"The authority file " + path_.u16string() +
                                       u" cannot be read or holds no certificate");
      }
    }
    EXPECT_TRUE(tls_peer_.Requests().empty()) << "nothing was sent";
  }
}
#endif

}  // namespace
}  // namespace velto::test
