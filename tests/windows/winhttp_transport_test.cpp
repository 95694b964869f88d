// The WinHTTP transport where it needs more than the capturing peer: a TLS server with a
// self-signed certificate. (Its connect time limit is a case of the transport tests.)

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "velto/transport.h"

namespace velto {
namespace {

class Collect : public BodySink {
 public:
  void Write(const char* data, size_t size) override { text.append(data, size); }
  std::string text;
};

class WinHttpTls : public ::testing::Test {
 protected:
  void SetUp() override {
    // Started by the test run's fixture (tls_peer.sh) in a folder beside this program.
    const char* folder = std::getenv("VELTO_TLS_PEER_DIR");
    if (folder == nullptr) GTEST_SKIP() << "no TLS server: VELTO_TLS_PEER_DIR is not set";
    std::ifstream(std::string(folder) + "/port") >> port_;
    ASSERT_FALSE(port_.empty()) << "the TLS server wrote no port";
  }

  HttpReply Get(bool tls_verify, Collect& body) {
    TransportSettings settings;
    settings.tls_verify = tls_verify;
    HttpRequest request;
    request.url = "https://127.0.0.1:" + port_ + "/reply";
    return MakeTransport(settings)->Send(request, body, nullptr);
  }

  std::string port_;
};

TEST_F(WinHttpTls, RefusesASelfSignedCertificateByDefault) {
  Collect body;
  try {
    Get(true, body);
    ADD_FAILURE() << "the self-signed certificate was accepted";
  } catch (const TransportError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr("TLS"));
  }
  EXPECT_EQ(body.text, "");
}

TEST_F(WinHttpTls, AcceptsItWhenVerificationIsOff) {
  Collect body;
  const HttpReply reply = Get(false, body);
  EXPECT_EQ(reply.status_line, "HTTP/1.1 200 OK");
  EXPECT_EQ(body.text, "ok");
}

}  // namespace
}  // namespace velto
