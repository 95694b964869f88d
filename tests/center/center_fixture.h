#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "velto/test_peer.h"
#include "velto/unicode.h"
#include "velto/velto_center.h"

namespace velto::test {

// Each test talks to its own capturing peer through a fresh connection instance.
class CenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TVeltoCenter::DestroyInstance();
    TVeltoCenter::SetRoot(Utf8ToUtf16(peer_.Root()));
    TVeltoCenter::SetKey({});
    TVeltoCenter::SetSettings({});
  }
  void TearDown() override {
    TVeltoCenter::DestroyInstance();
    TVeltoCenter::SetKey({});
  }

  PeerRequest OnlyRequest() const {
    const auto requests = peer_.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? PeerRequest{} : requests.front();
  }

  TestPeer peer_;
};

// A server reply envelope with "code", "message" and the raw JSON of "value".
inline PeerReply ServerReply(std::string_view code, std::string_view value_json,
                             std::string_view message = "OK") {
  return PeerReply::Json(R"({"code":")" + std::string(code) + R"(","message":")" +
                         std::string(message) + R"(","value":)" + std::string(value_json) + "}");
}

}  // namespace velto::test
