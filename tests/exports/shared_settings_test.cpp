// Host threads that configure and log in while another thread's request runs. Requests
// never wait for each other (a second one is refused as busy), so the settings are read
// and written at the same moment; under ThreadSanitizer any unguarded access fails here.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "../center/center_fixture.h"
#include "start_line.h"
#include "velto/dao.h"
#include "velto/global.h"
#include "velto/operation.h"

namespace velto::test {
namespace {

constexpr int kLogins = 20;
constexpr int kAttempts = 100000;

// The gate always rejects the key, so every session prologue logs in again and stores a
// key of its own.
PeerReply Gatekeeper(const PeerRequest& request, std::atomic<int>& logins) {
  if (request.Target().starts_with("/user-card/")) {
    if (request.Method() == "GET") return ServerReply("100", "false");
    return ServerReply("100", R"({"userId":"u","id":"key-)" + std::to_string(++logins) + "\"}");
  }
  return PeerReply::Json("{}");
}

TEST_F(CenterTest, SettingsChangeWhileAnotherThreadsRequestReadsThem) {
  std::atomic<int> logins{0};
  peer_.SetResponder([&logins](const PeerRequest& request) { return Gatekeeper(request, logins); });
  const std::u16string root = TVeltoCenter::Root();
  std::atomic<bool> configured{false};
  StartLine start(2);
  std::thread configurer([&] {
    start.ArriveAndWait();
    for (int attempt = 0; attempt < kAttempts && logins < kLogins; ++attempt) {
      // What VeltoInit does, then an operation export whose prologue logs in.
      TVeltoCenter::SetRoot(root);
      SetGlobal({u"card-" + Utf8ToUtf16(std::to_string(attempt)), u"site"});
      BstrOwner result;
      RunOperation(result.Out(), [] { return Global().SiteId; });
    }
    configured = true;
  });
  // Sends, then lets the configurer log in once more (a request that follows at once would
  // keep it refused as busy), and sends again as soon as the login is answered: while the
  // configurer stores the new key.
  std::thread sender([&] {
    start.ArriveAndWait();
    for (int round = 0; round <= kLogins && !configured; ++round) {
      const int before = logins;
      try {
        TVeltoDAO::DoGet(u"/records/" + Global().SiteId);
      } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), kBusyMessage);
      }
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (logins == before && !configured && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
      }
    }
  });
  configurer.join();
  sender.join();
  EXPECT_EQ(logins, kLogins);
  std::set<std::string> keys = {""};
  for (int login = 1; login <= logins; ++login) keys.insert("key-" + std::to_string(login));
  for (const PeerRequest& request : peer_.Requests()) {
    EXPECT_TRUE(keys.contains(request.Header("key-id"))) << request.Header("key-id");
    EXPECT_TRUE(request.Target() == "/records/" || request.Target() == "/records/site" ||
                request.Target().starts_with("/user-card/"))
        << request.Target();
  }
}

TEST_F(CenterTest, FirstUseOnSeveralThreadsAtOnceMakesOneInstance) {
  constexpr int kThreads = 8;
  for (int round = 0; round < 10; ++round) {
    TVeltoCenter::DestroyInstance();
    StartLine start(kThreads);
    std::vector<TVeltoCenter*> made(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
      threads.emplace_back([&, i] {
        start.ArriveAndWait();
        made[i] = &TVeltoCenter::GetInstance();
      });
    }
    for (std::thread& thread : threads) thread.join();
    for (TVeltoCenter* instance : made) EXPECT_EQ(instance, &TVeltoCenter::GetInstance());
  }
}

}  // namespace
}  // namespace velto::test
