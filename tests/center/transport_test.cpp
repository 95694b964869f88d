// Transport behaviour that needs its own settings: time limits and TLS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "center_fixture.h"
#include "velto/bodies.h"
#include "velto/closed_port.h"
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

TEST(Transport, FailsClearlyWhenNoConnectionComesWithinTheLimit) {
  const ClosedPort unanswered(ClosedPort::Kind::Unanswered);
  TransportSettings settings;
  settings.connect_timeout = 1s;
  StringSink sink;
  try {
    Fetch(*MakeTransport(settings), unanswered.Root(), sink);
    ADD_FAILURE() << "no failure";
  } catch (const TransportError& error) {
    EXPECT_EQ(error.Message(), u"No connection to the server within 1 seconds");
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

// A reply whose first header line is folded (begins with a blank) has no header to continue.
// After an earlier exchange on the same transport it must still be read from this reply's
// own headers alone (libcurl 7.88 read the last exchange's freed header instead), and the
// transport must stay usable.
TEST(Transport, ReadsAFoldedFirstHeaderLineAfterAnEarlierExchange) {
  TestPeer peer;
  const std::string json = R"({"value":true})";
  const std::string length = "Content-Length: " + std::to_string(json.size()) + "\r\n";
  peer.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", json, {{"Content-Type", "application/json"}}));
  peer.Enqueue(PeerReply::Raw("HTTP/1.1 200 OK\r\n Folded: x\r\n" + length + "\r\n" + json));
  peer.Enqueue(PeerReply::Json(json));
  const auto transport = MakeTransport({});
  for (int exchange = 0; exchange < 3; ++exchange) {
    StringSink sink;
    try {
      EXPECT_EQ(Fetch(*transport, peer.Root() + "/", sink).status, 200) << exchange;
      EXPECT_EQ(sink.Bytes(), json) << exchange;
    } catch (const TransportError& error) {
      EXPECT_EQ(exchange, 1) << error.what();  // a client may refuse the folded line
    }
  }
}

#ifndef _WIN32
// libcurl reads a status line in any letter case; a reply refused for its status must still
// say which one, or the host gets a failure without a message.
TEST(Transport, ReadsTheStatusLineInAnyLetterCase) {
  for (const std::string line : {"HTTp/1.1 200 OK", "http/1.1 503 Busy"}) {
    TestPeer peer;
    peer.Enqueue(PeerReply::Http(line, "body"));
    StringSink sink;
    const HttpReply reply = Fetch(*MakeTransport({}), peer.Root() + "/", sink);
    EXPECT_EQ(reply.status, std::stoi(line.substr(9, 3))) << line;
    EXPECT_EQ(reply.status_line, line);
  }
}
#endif

// A path goes out as built: no dot segment is folded away, plain or encoded, so a request
// never reaches another resource than the one its path names.
TEST(Transport, SendsDotSegmentsAsTheyAre) {
  TestPeer server;
  const auto transport = MakeTransport({});
  for (const std::string target : {"/user/..", "/user/.", "/a/../b", "/a/./b", "/a/%2E%2E/b",
                                   "/user/%2E%2E", "/user/%2e", "/a/.%2E/b?x=/../"}) {
    server.Enqueue(PeerReply::Json("{}"));
    StringSink sink;
    Fetch(*transport, server.Root() + target, sink);
    EXPECT_EQ(server.Requests().back().Target(), target);
  }
}

// Proxy settings in the environment for one test; every variable as it was afterwards.
class ScopedProxyEnvironment {
 public:
  explicit ScopedProxyEnvironment(const std::string& proxy) {
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
      Set(name, proxy);
    }
    for (const char* name : {"no_proxy", "NO_PROXY"}) Set(name, std::nullopt);
  }
  ScopedProxyEnvironment(const ScopedProxyEnvironment&) = delete;
  ScopedProxyEnvironment& operator=(const ScopedProxyEnvironment&) = delete;
  ~ScopedProxyEnvironment() {
    for (const auto& [name, value] : saved_) Put(name.c_str(), value);
  }

 private:
  void Set(const char* name, const std::optional<std::string>& value) {
    const char* before = std::getenv(name);
    saved_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
    Put(name, value);
  }

  static void Put(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    SetEnvironmentVariableA(name, value ? value->c_str() : nullptr);
    _putenv_s(name, value ? value->c_str() : "");
#else
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
#endif
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Transport, GoesStraightToTheServerWhateverProxyTheEnvironmentNames) {
  TestPeer server;
  TestPeer proxy;  // would see every request sent through it
  const ScopedProxyEnvironment environment(proxy.Root());
  const auto transport = MakeTransport({});
  StringSink sink;
  server.Enqueue(PeerReply::Json("{}"));
  Fetch(*transport, server.Root() + "/get", sink);
  server.Enqueue(PeerReply::Json("{}"));
  HttpRequest post;
  post.verb = HttpVerb::Post;
  post.url = server.Root() + "/post";
  StringBody body("{}");
  post.body = &body;
  transport->Send(post, sink, nullptr);
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(proxy.Connections(), 0);
}

// No request carries credentials: a server address holding a name or password fails
// before anything is sent, on every form a client might read it from.
TEST(Transport, RefusesAServerAddressHoldingANameOrPassword) {
  TestPeer server;
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());
  const std::string refused[] = {
      "http://user:secret@" + host + "/x", "http://user@" + host + "/x",
      "http://:secret@" + host + "/x",     "http://@" + host + "/x",
      "HTTP://user:secret@" + host,        "http:/user:secret@" + host + "/x",
      "http:\\\\user:secret@" + host,      "user:secret@" + host + "/x",
  };
  const auto transport = MakeTransport({});
  for (const std::string& url : refused) {
    StringSink sink;
    try {
      Fetch(*transport, url, sink);
      ADD_FAILURE() << "sent: " << url;
    } catch (const TransportError& error) {
      EXPECT_NE(error.Message().find(u"user name or password"), std::u16string::npos) << url;
    }
  }
  EXPECT_EQ(server.Connections(), 0);
  // An "@" in the path or query names no user.
  for (const std::string target : {"/a@b", "/x?name=a@b"}) {
    server.Enqueue(PeerReply::Json("{}"));
    StringSink sink;
    Fetch(*transport, "http://" + host + target, sink);
    EXPECT_EQ(server.Requests().back().Target(), target);
    EXPECT_FALSE(server.Requests().back().HasHeader("Authorization"));
  }
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

TEST_F(TlsTest, GoesStraightToTheServerWhateverProxyTheEnvironmentNames) {
  TestPeer proxy;
  const ScopedProxyEnvironment environment(proxy.Root());
  TransportSettings settings;
  settings.tls_verify = false;
  TVeltoCenter::SetSettings(settings);
  tls_peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{}");
  EXPECT_EQ(proxy.Connections(), 0);
}

// The connection takes new settings at its next request, and a connection opened without
// verification is not used again once verification is on.
TEST_F(TlsTest, TakesNewSettingsAtTheNextRequest) {
  TransportSettings unverified;
  unverified.tls_verify = false;
  for (int i = 0; i < 2; ++i) tls_peer_.Enqueue(PeerReply::Json("{}"));
  EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError);
  TVeltoCenter::SetSettings(unverified);
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{}");
  TVeltoCenter::SetSettings({});
  EXPECT_THROW(TVeltoDAO::DoGet(u"/x"), TransportError);
  TVeltoCenter::SetSettings(unverified);
  EXPECT_EQ(TVeltoDAO::DoGet(u"/x"), u"{}");
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
