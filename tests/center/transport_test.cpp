// Transport behaviour that needs its own settings: time limits and TLS.
#include <gtest/gtest.h>

#include <fstream>

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// A listener whose accept queue is full drops new connection attempts unanswered.
TEST(Transport, FailsClearlyWhenNoConnectionComesWithinTheLimit) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const int filler = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  TransportSettings settings;
  settings.connect_timeout = 1s;
  StringSink sink;
  try {
    Fetch(*MakeTransport(settings), "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)),
          sink);
    ADD_FAILURE() << "no failure";
  } catch (const TransportError& error) {
    EXPECT_EQ(error.Message(), u"No connection to the server within 1 seconds");
  }
  close(filler);
  close(listener);
}
#endif

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
    TVeltoCenter::SetRoot(Utf8ToUtf16(tls_peer_.Root()));
  }
  TestPeer tls_peer_{TestPeer::Mode::Tls};
};

TEST_F(TlsTest, RefusesAnUntrustedCertificate) {
  tls_peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError);
  EXPECT_TRUE(tls_peer_.Requests().empty()) << "nothing was sent";
}

TEST_F(TlsTest, AcceptsItWhenVerificationIsOff) {
  TransportSettings settings;
  settings.tls_verify = false;
  TVeltoCenter::SetSettings(settings);
  tls_peer_.Enqueue(PeerReply::Json("{\"tls\":1}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{\"tls\":1}");
}

TEST_F(TlsTest, TrustsAnAddedAuthorityFile) {
  const std::string path = ::testing::TempDir() + "velto-test-ca.pem";
  std::ofstream(path) << TestCertificatePem();
  TransportSettings settings;
  settings.ca_file = path;
  TVeltoCenter::SetSettings(settings);
  tls_peer_.Enqueue(PeerReply::Json("{\"tls\":2}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{\"tls\":2}");
  std::remove(path.c_str());
}
#endif

}  // namespace
}  // namespace velto::test
