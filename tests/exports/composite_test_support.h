#pragma once

// What the tests of the composite exports share: a capturing peer behind the configured
// site "S", the requests a call made in brief, and the exact text it returned.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "../center/center_fixture.h"
#include "velto/bstr.h"
#include "velto/global.h"
#include "velto/host_failure.h"
#include "velto_box.h"

namespace velto::test {

// A reply of code "100" with the raw JSON `value`.
inline PeerReply Value(std::string_view value_json) {
  return ServerReply("100", value_json);
}

// A reply that refuses with `code` and `message`.
inline PeerReply Refused(std::string_view code, std::string_view message) {
  return ServerReply(code, "null", message);
}

// Text lines joined by CR LF, as the library writes them.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

// The value of the form part `name` in a multipart body.
inline std::string PartValue(const std::string& body, const std::string& name) {
  const size_t header = body.find("name=\"" + name + "\"");
  if (header == std::string::npos) return "<no " + name + ">";
  const size_t start = body.find("\r\n\r\n", header) + 4;
  return body.substr(start, body.find("\r\n--", start) - start);
}

// A request in short: method and target, then a JSON body on one line, or an upload's
// file name, bytes and hlsc values.
inline std::string Brief(const PeerRequest& request) {
  std::string brief = request.Method() + " " + request.Target();
  const std::string body = request.Body();
  if (body.empty()) return brief;
  if (request.Header("Content-Type").starts_with("multipart/")) {
    return brief + " upload " + PartValue(body, "file-name") + " (" + PartValue(body, "file") +
           ") " + PartValue(body, "hlscName") + " " + PartValue(body, "hlscDate");
  }
  brief += ' ';
  for (size_t at = 0; at < body.size(); ++at) {
    if (body.compare(at, 2, "\r\n") != 0) {
      brief += body[at];
      continue;
    }
    for (at += 2; at < body.size() && body[at] == ' ';) ++at;
    --at;
  }
  return brief;
}

// One call of an export: the replies its requests get after the session prologue's check,
// the requests it must make (Brief), and the text it must return.
struct CompositeCase {
  std::string name;
  std::vector<PeerReply> replies;
  std::vector<std::string> sent;
  std::string result;
};

class CompositeTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    SetGlobal({.UserCardNumber = u"card", .SiteId = u"S"});
  }
  void TearDown() override {
    SetGlobal({});
    CenterTest::TearDown();
  }

  // Calls the export with its result variable after queueing the prologue's "the key is
  // good" and the given replies; returns the requests made after the prologue's, in brief.
  std::vector<std::string> Call(const std::vector<PeerReply>& replies,
                                const std::function<void(BSTR*)>& call, BstrOwner& result) {
    const size_t before = peer_.Requests().size();
    peer_.Enqueue(ServerReply("100", "true"));
    for (const PeerReply& reply : replies) peer_.Enqueue(reply);
    call(result.Out());
    std::vector<std::string> sent;
    const std::vector<PeerRequest> requests = peer_.Requests();
    for (size_t index = before + 1; index < requests.size(); ++index) {
      sent.push_back(Brief(requests[index]));
    }
    return sent;
  }

  void Expect(const CompositeCase& c, const std::function<void(BSTR*)>& call) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.replies.size(), c.sent.size()) << "one reply for each request";
    BstrOwner result;
    EXPECT_EQ(Call(c.replies, call, result), c.sent);
    EXPECT_EQ(Utf16ToUtf8(result.Text()), c.result);
    EXPECT_EQ(LastHostFailure(), u"");
  }

  std::string Root() const { return peer_.Root(); }
};

}  // namespace velto::test
