// What depends on time, driven by a clock the test moves: key idle expiry and the log-in
// throttle.
#include <gtest/gtest.h>

#include "bootstrap.h"
#include "database.h"
#include "kinds.h"
#include "login_throttle.h"
#include "sessions.h"

namespace velto::server {
namespace {

using std::chrono::milliseconds;

struct FakeClock {
  std::chrono::system_clock::time_point now{std::chrono::hours(24 * 365 * 50)};
  SessionStore::Clock Reader() {
    return [this] { return now; };
  }
};

class SessionStoreTest : public ::testing::Test {
 protected:
  SessionStoreTest() { Bootstrap(db_, "1234"); }
  Database db_{""};
  FakeClock clock_;
};

TEST_F(SessionStoreTest, AKeyEndsOnlyAfterTheIdleTimeWithoutUse) {
  SessionStore sessions(db_, milliseconds(1000), clock_.Reader());
  auto lock = db_.Lock();
  const std::string key = sessions.Open("root", CardGate("c1"));
  // Each use restarts the idle time, to the millisecond.
  for (int use = 0; use < 5; ++use) {
    clock_.now += milliseconds(999);
    EXPECT_EQ(sessions.UserOf(key), "root") << "use " << use;
  }
  // A look that is no use (HEAD) does not restart it.
  clock_.now += milliseconds(600);
  EXPECT_EQ(sessions.UserOf(key, false), "root");
  clock_.now += milliseconds(401);
  EXPECT_EQ(sessions.UserOf(key), std::nullopt);
  clock_.now -= milliseconds(900);
  EXPECT_EQ(sessions.UserOf(key), std::nullopt) << "an ended key stays ended";
}

TEST_F(SessionStoreTest, UsesAreWrittenOnlyOnceATenthOfTheIdleTimeHasPassed) {
  SessionStore sessions(db_, milliseconds(10000), clock_.Reader());
  auto lock = db_.Lock();
  const std::string key = sessions.Open("root", CardGate("c1"));
  const auto written = [&] {
    return RecordTable(db_, kinds::kSession).List({}).front().at("lastSeen");
  };
  const std::string opened = written();
  clock_.now += milliseconds(999);
  sessions.UserOf(key);
  EXPECT_EQ(written(), opened);
  clock_.now += milliseconds(1);
  sessions.UserOf(key);
  EXPECT_NE(written(), opened);
  // A second store over the same database (a restart) sees the written use.
  clock_.now += milliseconds(9999);
  EXPECT_EQ(SessionStore(db_, milliseconds(10000), clock_.Reader()).UserOf(key), "root");
}

TEST_F(SessionStoreTest, ExpiredSessionsGoWithoutTheirKeysComingBack) {
  const auto stored = [&] { return RecordTable(db_, kinds::kSession).List({}).size(); };
  {
    SessionStore sessions(db_, milliseconds(1000), clock_.Reader());
    auto lock = db_.Lock();
    for (int i = 0; i < 3; ++i) sessions.Open("root", kUserGate);
    clock_.now += milliseconds(1100);
    sessions.Open("root", kUserGate);
    EXPECT_EQ(stored(), 4u) << "a use may be unwritten for a tenth of the idle time";
    clock_.now += milliseconds(1);
    sessions.Open("root", kUserGate);
    EXPECT_EQ(stored(), 2u) << "a log-in removes the expired";
    clock_.now += milliseconds(1101);
    sessions.RemoveExpired();
    EXPECT_EQ(stored(), 0u);
    sessions.Open("root", kUserGate);
  }
  clock_.now += milliseconds(1101);
  SessionStore restarted(db_, milliseconds(1000), clock_.Reader());
  EXPECT_EQ(stored(), 0u) << "a start removes the expired";
}

TEST_F(SessionStoreTest, OnlyAHashOfTheKeyIsStored) {
  SessionStore sessions(db_, milliseconds(0), clock_.Reader());
  auto lock = db_.Lock();
  const std::string key = sessions.Open("root", kUserGate);
  const std::string stored = RecordTable(db_, kinds::kSession).List({}).front().at("id");
  EXPECT_EQ(stored.size(), 64u);
  EXPECT_EQ(stored.find(key), std::string::npos);
  EXPECT_EQ(sessions.UserOf(stored), std::nullopt) << "the hash is no key";
  clock_.now += std::chrono::hours(24 * 365);
  EXPECT_EQ(sessions.UserOf(key), "root") << "idle time 0: keys never end by themselves";
  sessions.EndAllOf("root");
  EXPECT_EQ(sessions.UserOf(key), std::nullopt);
}

TEST(LoginThrottleTest, WaitsDoubleAfterTheFreeFailuresAndASuccessClearsThem) {
  std::chrono::steady_clock::time_point now{};
  LoginThrottle throttle(
      {.free_failures = 2, .first_wait = milliseconds(1000), .longest_wait = milliseconds(3000)},
      [&] { return now; });
  const std::string source = "192.0.2.1";
  throttle.Failed(source);
  EXPECT_EQ(throttle.WaitFor(source).count(), 0);
  const std::pair<int, long long> waits[] = {{2, 1000}, {3, 2000}, {4, 3000}, {5, 3000}};
  for (const auto& [failure, wait] : waits) {
    throttle.Failed(source);
    EXPECT_EQ(throttle.WaitFor(source).count(), wait) << "failure " << failure;
    EXPECT_EQ(throttle.WaitFor("192.0.2.2").count(), 0) << "other sources do not wait";
  }
  now += milliseconds(2999);
  EXPECT_EQ(throttle.WaitFor(source).count(), 1);
  now += milliseconds(1);
  EXPECT_EQ(throttle.WaitFor(source).count(), 0);
  throttle.Succeeded(source);
  throttle.Failed(source);
  EXPECT_EQ(throttle.WaitFor(source).count(), 0) << "the count starts again";
  throttle.Failed(source);
  EXPECT_EQ(throttle.WaitFor(source).count(), 1000);
}

}  // namespace
}  // namespace velto::server
