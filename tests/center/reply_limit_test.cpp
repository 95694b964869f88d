// The size and time limits of a reply, which keep a hostile or broken server from taking
// the host's memory or time; a download's body is bound by neither.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "center_fixture.h"
#include "velto/bodies.h"
#include "velto/host_stream.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

constexpr size_t kLimit = 1000;
constexpr size_t kPiece = 64 * 1024;  // a whole receive buffer
const std::u16string kTooLarge =
    u"The reply is larger than 1000 bytes, the limit that MaxReplySize sets";
const std::u16string kTooLong =
    u"The reply did not end within 2 seconds, the limit that ReplyTimeout sets";

TransportSettings Limited(std::chrono::seconds timeout = 2s) {
  TransportSettings settings;
  settings.max_reply_size = kLimit;
  settings.reply_timeout = timeout;
  return settings;
}

struct Outcome {
  std::string body;
  std::u16string failure;
};

Outcome Fetch(TestPeer& peer, bool download = false, std::chrono::seconds timeout = 2s) {
  HttpRequest request;
  request.url = peer.Root() + "/reply";
  request.download = download;
  StringSink sink;
  Outcome outcome;
  try {
    MakeTransport(Limited(timeout))->Send(request, sink, nullptr);
  } catch (const TransportError& error) {
    outcome.failure = error.Message();
  }
  outcome.body = sink.Bytes();
  return outcome;
}

std::string Chunk(size_t size) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%zx", size);
  return hex + ("\r\n" + std::string(size, 'x')) + "\r\n";
}

std::string ChunkedHead() {
  return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
}

// A reply head, then `count` pieces of `piece` body bytes, each after `pause`; the
// connection stays open.
PeerReply Streamed(std::string head, int count, std::string piece,
                   std::chrono::milliseconds pause) {
  PeerReply reply = PeerReply::Raw(std::move(head));
  for (int i = 0; i < count; ++i) reply.pieces.push_back({pause, piece});
  return reply;
}

TEST(ReplyLimit, RefusesAnAnnouncedLengthAboveTheLimitBeforeReadingTheBody) {
  struct Case {
    const char* what;
    std::string status_line;
    std::string length;
  };
  const std::vector<Case> cases = {
      {"3 GB announced and streamed", "HTTP/1.1 200 OK", "3000000000"},
      {"one byte over", "HTTP/1.1 200 OK", "1001"},
      {"an error reply, whose body is read to be dropped", "HTTP/1.1 500 Oops", "3000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestPeer peer;
    // Were the body read, the stream would go on for a minute.
    peer.Enqueue(Streamed(c.status_line + "\r\nContent-Length: " + c.length + "\r\n\r\n", 60,
                          std::string(64 * 1024, 'x'), 1s));
    const Outcome outcome = Fetch(peer);
    EXPECT_EQ(outcome.failure, kTooLarge);
    EXPECT_EQ(outcome.body, "");
  }
}

TEST(ReplyLimit, StopsABodyThatPassesTheLimitAsItArrives) {
  struct Case {
    const char* what;
    PeerReply reply;
  };
  const std::vector<Case> cases = {
      {"chunked, never ending", Streamed(ChunkedHead(), 60, Chunk(kPiece), 1s)},
      {"chunked, one byte over",
       PeerReply::Raw(ChunkedHead() + Chunk(kLimit) + Chunk(1) + "0\r\n\r\n")},
      {"ended by closing, never ending",
       Streamed("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", 60, std::string(kPiece, 'x'), 1s)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestPeer peer;
    peer.Enqueue(c.reply);
    // Wine's WinHTTP hands a body over only once its buffer is full: the time limit must
    // not come first.
    const Outcome outcome = Fetch(peer, false, 30s);
    EXPECT_EQ(outcome.failure, kTooLarge);
    EXPECT_LE(outcome.body.size(), kLimit);
  }
}

TEST(ReplyLimit, TakesABodyOfExactlyTheLimit) {
  const std::string body(kLimit, 'x');
  for (PeerReply reply : {PeerReply::Json(body),
                          PeerReply::Raw(ChunkedHead() + Chunk(600) + Chunk(400) + "0\r\n\r\n")}) {
    TestPeer peer;
    peer.Enqueue(reply);
    const Outcome outcome = Fetch(peer);
    EXPECT_EQ(outcome.failure, u"");
    EXPECT_EQ(outcome.body, body);
  }
}

TEST(ReplyLimit, StopsAnExchangeThatTakesLongerThanTheTimeout) {
  struct Case {
    const char* what;
    PeerReply reply;
  };
  const std::vector<Case> cases = {
      {"a body trickling a byte at a time",
       Streamed("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", 40, "x", 100ms)},
      {"a head trickling a line at a time", Streamed("HTTP/1.1 200 OK\r\n", 40, "A: b\r\n", 100ms)},
      {"no answer within the stall limit", PeerReply::Json("{}").Pause(20s)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestPeer peer;
    peer.Enqueue(c.reply);
    EXPECT_EQ(Fetch(peer).failure, kTooLong);
  }
}

TEST(ReplyLimit, ADownloadIsBoundByNeither) {
  TestPeer peer;
  const std::string piece(kLimit, 'x');
  // Over three times the size limit, over a time half again as long as the time limit.
  peer.Enqueue(Streamed("HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n", 3, piece, 1s));
  const Outcome outcome = Fetch(peer, /*download=*/true);
  EXPECT_EQ(outcome.failure, u"");
  EXPECT_EQ(outcome.body, piece + piece + piece);
}

// The connection marks its downloads as such, and nothing else.
TEST_F(CenterTest, BindsEveryReplyButADownloadsBody) {
  TVeltoCenter::SetSettings(Limited());
  const std::string large(kLimit + 1, 'x');
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", large));
  HostStream target;
  TVeltoCenter::GetInstance().Get(u"/file", target.get());
  EXPECT_EQ(target.Data(), large);

  peer_.Enqueue(PeerReply::Json("\"" + large + "\""));
  try {
    TVeltoCenter::GetInstance().Get(u"/text");
    ADD_FAILURE() << "no failure";
  } catch (const TransportError& error) {
    EXPECT_EQ(error.Message(), kTooLarge);
  }
}

}  // namespace
}  // namespace velto::test
