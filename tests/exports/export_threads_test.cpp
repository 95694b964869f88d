// Eight host threads calling mixed exports at once against velto-server, through a peer
// that passes each request on and counts the requests in flight: the library sends one
// request at a time and refuses every call that comes meanwhile with its busy message.
// Under ThreadSanitizer any unguarded access fails here.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host_strings.h"
#include "records_server.h"
#include "start_line.h"
#include "velto/global.h"
#include "velto/test_peer.h"
#include "velto/unicode.h"
#include "velto/velto_center.h"
#include "velto_box.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 40;
const std::u16string kBusy = u"작업 중입니다";

// Passes every request on to the server and its reply back, counting the requests between
// their arrival and their reply.
class CountingRelay {
 public:
  explicit CountingRelay(const std::string& server) : client_(server) {
    peer_.SetResponder([this](const PeerRequest& request) { return Relay(request); });
  }

  std::string Root() const { return peer_.Root(); }
  int MostInFlight() const { return most_in_flight_; }
  int Requests() const { return requests_; }

 private:
  PeerReply Relay(const PeerRequest& request) {
    const int now = ++in_flight_;
    ++requests_;
    for (int most = most_in_flight_;
         now > most && !most_in_flight_.compare_exchange_weak(most, now);) {
    }
    std::this_thread::sleep_for(1ms);  // widens the window in which a second request would show
    PeerReply reply = Forward(request);
    --in_flight_;
    return reply;
  }

  PeerReply Forward(const PeerRequest& request) {
    httplib::Headers headers;
    for (const char* name : {"key-id", "Cookie"}) {
      if (request.HasHeader(name)) headers.emplace(name, request.Header(name));
    }
    const std::string type = request.Header("Content-Type");
    const std::string target = request.Target();
    std::lock_guard lock(client_mutex_);
    const std::string method = request.Method();
    const httplib::Result result = method == "GET"      ? client_.Get(target, headers)
                                   : method == "DELETE" ? client_.Delete(target, headers)
                                   : method == "PUT"
                                       ? client_.Put(target, headers, request.Body(), type)
                                       : client_.Post(target, headers, request.Body(), type);
    if (!result) return PeerReply::Http("HTTP/1.1 502 No server");
    std::vector<std::pair<std::string, std::string>> back;
    for (const char* name : {"Content-Type", "Set-Cookie"}) {
      if (result->has_header(name)) back.emplace_back(name, result->get_header_value(name));
    }
    return PeerReply::Http("HTTP/1.1 " + std::to_string(result->status) + " " + result->reason,
                           result->body, back);
  }

  std::mutex client_mutex_;
  httplib::Client client_;
  std::atomic<int> in_flight_{0};
  std::atomic<int> most_in_flight_{0};
  std::atomic<int> requests_{0};
  TestPeer peer_;  // last: its threads stop before what they use goes
};

// A text-returning export called with the host's texts; false when it left.
bool Returned(const std::function<void(BSTR*)>& call, std::u16string& text) {
  HostString result(u"\x01untouched");
  call(result.Out());
  text = result.Text();
  return text != u"\x01untouched";
}

struct Tally {
  std::atomic<int> calls{0};
  std::atomic<int> refused{0};
  std::atomic<int> succeeded{0};
  std::mutex mutex;
  std::vector<std::string> unexpected;
};

// One call of the mix: success, or refused as busy (leaving the export, or as the FAIL
// envelope of a step after the session check). Anything else is kept as unexpected.
void CallOne(int kind, const std::u16string& card, Tally& tally) {
  std::u16string text;
  bool returned = true;
  switch (kind % 5) {
    case 0:
      returned = Returned([](BSTR* r) { Site_GetList(r); }, text);
      break;
    case 1:
      returned = Returned([](BSTR* r) { User_GetList(r); }, text);
      break;
    case 2:
      returned = Returned([](BSTR* r) { Portal_GetPortalUrl(HostString(u"o1").Get(), r); }, text);
      break;
    case 3:
      returned = Returned([](BSTR* r) { VeltoRead(HostString(u"nobody").Get(), r); }, text);
      break;
    case 4:
      VeltoEnter(HostString(card).Get());
      returned = false;
      break;
  }
  ++tally.calls;
  const std::u16string error = LastError();
  const bool busy = returned ? text.find(u"\"data\": \"" + kBusy + u"\"") != std::u16string::npos
                             : error == kBusy;
  const bool failed =
      returned ? text.find(u"\"code\": \"FAIL\"") != std::u16string::npos : !error.empty();
  // VeltoRead of a person that does not exist fails in its envelope: an answer, not a refusal.
  const bool answered_no_person = kind % 5 == 3 && failed && !busy;
  if (busy) {
    ++tally.refused;
  } else if (!failed || answered_no_person) {
    ++tally.succeeded;
  } else {
    std::lock_guard lock(tally.mutex);
    tally.unexpected.push_back(std::to_string(kind % 5) + ": " +
                               Utf16ToUtf8(returned ? text : error));
  }
}

TEST(ExportThreads, OneRequestInFlightAndEveryOtherCallRefusedAsBusy) {
  std::string reason;
  const auto server = RecordsServer::Start(reason);
  if (!server) GTEST_SKIP() << reason;
  CountingRelay relay(server->Url());
  const std::u16string card = Utf8ToUtf16(server->Card());
  VeltoInit(HostString(Utf8ToUtf16(relay.Root())).Get(), HostString(card).Get(),
            HostString(u"").Get());
  VeltoEnter(HostString(card).Get());
  ASSERT_EQ(LastError(), u"");

  Tally tally;
  StartLine start(kThreads);
  std::vector<std::thread> threads;
  for (int index = 0; index < kThreads; ++index) {
    threads.emplace_back([&, index] {
      start.ArriveAndWait();
      for (int call = 0; call < kCallsPerThread; ++call) CallOne(index + call, card, tally);
    });
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(relay.MostInFlight(), 1);
  EXPECT_TRUE(tally.unexpected.empty()) << tally.unexpected.front();
  EXPECT_EQ(tally.calls, kThreads * kCallsPerThread);
  EXPECT_GT(tally.succeeded, 0);
  EXPECT_GT(tally.refused, 0) << "no two calls met";
  ::testing::Test::RecordProperty("calls", tally.calls);
  ::testing::Test::RecordProperty("refused", tally.refused);
  ::testing::Test::RecordProperty("requests", relay.Requests());
  TVeltoCenter::DestroyInstance();
  TVeltoCenter::SetKey({});
  SetGlobal({});
}

}  // namespace
}  // namespace velto::test
