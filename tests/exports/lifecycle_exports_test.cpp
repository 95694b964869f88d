// The lifecycle exports of libvelto-box.so, called as a host calls them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../center/recording_events.h"
#include "host_strings.h"
#include "scratch_path.h"
#include "velto/test_peer.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

std::u16string Wide(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { Configure(Wide(peer_.Root())); }
  void TearDown() override { fs::remove(ini_); }

  void Configure(std::u16string_view root) {
    HostString url(root), card(u"card-1"), site(u"site-1");
    VeltoInit(url.Get(), card.Get(), site.Get());
  }

  VELTO_HANDLE Open(const std::string& ini_text) {
    std::ofstream(ini_) << ini_text;
    HostString file(Wide(ini_.string()));
    return VeltoOpen(file.Get());
  }

  void Enter(std::u16string_view card) {
    HostString number(card);
    VeltoEnter(number.Get());
  }

  TestPeer peer_;
  fs::path ini_ = ScratchPath("exports", ".ini");
};

TEST_F(ExportsTest, OpenReadsTheIniFileAndReturnsTheOneInstance) {
  const VELTO_HANDLE first = Open("[Global]\nRoot=" + peer_.Root() + "\nUserCardNumber=9\n");
  EXPECT_NE(first, nullptr);
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":{"id":"k"}})"));
  Enter(u"1234");
  ASSERT_EQ(peer_.Requests().size(), 1u) << "the root came from the file";
  EXPECT_EQ(peer_.Requests()[0].Body(), "1234");
  EXPECT_EQ(Open("[Global]\nRoot=" + peer_.Root() + "\n"), first);
  VeltoClose(first);
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":null})"));
  VeltoLeave();
  EXPECT_EQ(peer_.Requests().size(), 2u) << "VeltoClose frees nothing";
  EXPECT_EQ(LastError(), u"");
}

TEST_F(ExportsTest, OpenWithoutARootLeavesTheRootEmpty) {
  Open("[Global]\nSiteId=s\n");
  Enter(u"1");
  EXPECT_FALSE(LastError().empty()) << "an empty root fails every request";
  EXPECT_TRUE(peer_.Requests().empty());
}

TEST_F(ExportsTest, OpenTakesTheTlsSettings) {
  TestPeer tls(TestPeer::Mode::Tls);
  const std::string ca = ScratchPath("exports-ca", ".pem").string();
  std::ofstream(ca) << TestCertificatePem();
  const std::string root = "[Global]\nRoot=" + tls.Root() + "\n";
  const struct {
    std::string settings;
    bool accepted;
  } cases[] = {
      {"", false},
      {"TlsVerify=1\n", false},
      {"TlsVerify=0\n", true},
      {"CAFile=" + ca + "\n", true},
      {"CAFile=" + ca + ".missing\nTlsVerify=0\n", false},  // no quiet fallback
  };
  for (const auto& c : cases) {
    tls.Enqueue(PeerReply::Json(R"({"code":"100","value":{"id":"k"}})"));
    Open(root + c.settings);
    Enter(u"1");
    EXPECT_EQ(LastError().empty(), c.accepted) << c.settings;
  }
  fs::remove(ca);
}

// A value that is no limit reads as the default: INI settings never fail.
TEST_F(ExportsTest, OpenTakesTheReplyLimits) {
  const std::string root = "[Global]\nRoot=" + peer_.Root() + "\n";
  const std::string over_1k = R"({"code":"100","value":{"id":")" + std::string(1024, 'k') + "\"}}";
  const struct {
    std::string settings;
    PeerReply reply;
    std::u16string failure;
  } cases[] = {
      {"MaxReplySize=1K\n", PeerReply::Json(over_1k),
       u"The reply is larger than 1024 bytes, the limit that MaxReplySize sets"},
      {"MaxReplySize=2k\n", PeerReply::Json(over_1k), u""},
      {"MaxReplySize=1KB\n", PeerReply::Json(over_1k), u""},
      {"MaxReplySize=0\n", PeerReply::Json(over_1k), u""},
      {"ReplyTimeout=1\n", PeerReply::Json(over_1k).Pause(std::chrono::seconds(3)),
       u"The reply did not end within 1 seconds, the limit that ReplyTimeout sets"},
      {"ReplyTimeout=soon\n", PeerReply::Json(over_1k).Pause(std::chrono::seconds(2)), u""},
  };
  for (const auto& c : cases) {
    peer_.Enqueue(c.reply);
    Open(root + c.settings);
    Enter(u"1");
    EXPECT_EQ(LastError(), c.failure) << c.settings;
  }
}

TEST_F(ExportsTest, EnterStoresTheKeyForEveryLaterRequest) {
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":{"userId":"u","id":"key-7"}})"));
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":null})"));
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":{"id":"key-8"}})"));
  Enter(u"5555");
  VeltoLeave();
  Enter(u"6666");
  const auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].Method(), "DELETE");
  EXPECT_EQ(requests[1].Header("key-id"), "key-7");
  EXPECT_EQ(requests[2].Header("key-id"), "key-7") << "logging out keeps the key";
}

TEST_F(ExportsTest, KeepsTheFailureOfEnterAndLeaveForTheThread) {
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 403 Forbidden"));
  Enter(u"1");
  EXPECT_EQ(LastError(), u"HTTP/1.1 403 Forbidden");
  EXPECT_EQ(LastError(), u"HTTP/1.1 403 Forbidden") << "reading it does not clear it";
  peer_.Enqueue(PeerReply::Json(R"({"code":"301","message":"gone"})"));
  VeltoLeave();
  EXPECT_EQ(LastError(), u"[301] gone");
  VeltoWorkEnd();
  EXPECT_EQ(LastError(), u"") << "the next export call that does not fail clears it";
}

TEST_F(ExportsTest, PassesProgressToTheRegisteredReceiverAndReleasesIt) {
  RecordingEvents events;
  VeltoWorkBegin(&events.com);
  EXPECT_EQ(events.references, 2u);
  RecordingEvents second;
  VeltoWorkBegin(&second.com);
  EXPECT_EQ(events.references, 1u) << "the receiver before is released";
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":{"id":"k"}})"));
  Enter(u"12");
  EXPECT_TRUE(events.calls.empty());
  ASSERT_FALSE(second.calls.empty());
  EXPECT_EQ(second.calls.front(), "begin 1 2");
  EXPECT_EQ(second.calls.back(), "end 0");
  VeltoWorkEnd();
  EXPECT_EQ(second.references, 1u);
}

TEST_F(ExportsTest, RefusesAnExportCalledFromInsideAProgressCallback) {
  RecordingEvents events;
  std::u16string inner;
  events.on_call = [&](const std::string& call) {
    if (!call.starts_with("work")) return;
    VeltoLeave();
    inner = LastError();
  };
  VeltoWorkBegin(&events.com);
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","value":{"id":"k"}})"));
  Enter(u"12");
  VeltoWorkEnd();
  EXPECT_EQ(inner, u"작업 중입니다");
  EXPECT_EQ(LastError(), u"") << "the outer call succeeded";
  EXPECT_EQ(peer_.Requests().size(), 1u);
}

TEST_F(ExportsTest, InitTracesWithTheCardMaskedOnlyWhenAsked) {
  HostString url(Wide(peer_.Root())), card(u"1234567890"), site(u"s");
  ::testing::internal::CaptureStderr();
  VeltoInit(url.Get(), card.Get(), site.Get());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  setenv("VELTO_TRACE", "1", 1);
  ::testing::internal::CaptureStderr();
  VeltoInit(url.Get(), card.Get(), site.Get());
  const std::string trace = ::testing::internal::GetCapturedStderr();
  unsetenv("VELTO_TRACE");
  EXPECT_EQ(trace, "RootUrl = " + peer_.Root() + ", UserCardNumber = ******7890, SiteId = s\n");
  VeltoInit(nullptr, nullptr, nullptr);  // null BSTRs are empty texts
  Enter(u"1");
  EXPECT_FALSE(LastError().empty());
  EXPECT_TRUE(peer_.Requests().empty());
}

TEST(StringExports, AllocateCopiesAndFree) {
  HostString text(u"가나\0다");
  EXPECT_EQ(text.Text(), u"가나");
  const char16_t with_nul[] = {u'a', u'\0', u'b'};
  BSTR copy = VeltoAllocString(with_nul, 3);
  EXPECT_EQ(std::u16string(copy, 3), std::u16string(with_nul, 3));
  EXPECT_EQ(copy[3], u'\0');
  VeltoFreeString(copy);
  BSTR zeros = VeltoAllocString(nullptr, 2);
  EXPECT_EQ(zeros[0], u'\0');
  VeltoFreeString(zeros);
  VeltoFreeString(nullptr);
}

}  // namespace
}  // namespace velto::test
