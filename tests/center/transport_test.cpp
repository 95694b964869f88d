// Transport behaviour that needs its own settings: time limits and TLS.
#include <gtest/gtest.h>

#include <fstream>

#include "center_fixture.h"
#include "velto/bodies.h"
#include "velto/dao.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

HttpReply Fetch(Transport& transport, const std::string& url, StringSink& sink) {
  HttpRequest request;
  request.url = url;
  return transport.Send(request, sink, nullptr);
}

TEST(Transport, FailsClearlyWhenTheServerStallsBeyondTheLimit) {
  TestPeer peer;
  peer.Enqueue(PeerReply::Json("{}").Pause(10s));
  TransportSettings settings;
  settings.stall_timeout = 1s;
  const auto transport = MakeTransport(settings);
  StringSink sink;
  try {
    Fetch(*transport, peer.Root() + "/slow", sink);
    FAIL() << "no failure";
  } catch (const TransportError& error) {
    EXPECT_NE(error.Message().find(u"no data for 1 seconds"), std::u16string::npos) << error.what();
  }
}

TEST(Transport, HandsTheStatusLineBackAsReceived) {
  TestPeer peer;
  peer.Enqueue(PeerReply::Http("HTTP/1.1 299 Odd  Reason", "body", {{"Content-Type", "x/y"}}));
  StringSink sink;
  const HttpReply reply = Fetch(*MakeTransport({}), peer.Root() + "/", sink);
  EXPECT_EQ(reply.status, 299);
  EXPECT_EQ(reply.status_line, "HTTP/1.1 299 Odd  Reason");
  EXPECT_EQ(reply.content_type, "x/y");
  EXPECT_EQ(sink.Bytes(), "body");
}

#ifndef _WIN32  // the TLS peer needs OpenSSL, which the Windows build does not have
class TlsTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    TVeltoCenter::Root() = Utf8ToUtf16(tls_peer_.Root());
  }
  TestPeer tls_peer_{TestPeer::Mode::Tls};
};

TEST_F(TlsTest, RefusesAnUntrustedCertificate) {
  tls_peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError);
  EXPECT_TRUE(tls_peer_.Requests().empty()) << "nothing was sent";
}

TEST_F(TlsTest, AcceptsItWhenVerificationIsOff) {
  TVeltoCenter::Settings().tls_verify = false;
  tls_peer_.Enqueue(PeerReply::Json("{\"tls\":1}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{\"tls\":1}");
}

TEST_F(TlsTest, TrustsAnAddedAuthorityFile) {
  const std::string path = ::testing::TempDir() + "velto-test-ca.pem";
  std::ofstream(path) << TestCertificatePem();
  TVeltoCenter::Settings().ca_file = path;
  tls_peer_.Enqueue(PeerReply::Json("{\"tls\":2}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{\"tls\":2}");
  std::remove(path.c_str());
}
#endif

}  // namespace
}  // namespace velto::test
