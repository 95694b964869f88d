// A host that loads the library, logs in and calls it, and unloads it, two hundred times in
// one process: what the process holds stays flat once the first rounds have warmed up.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "host_exports.h"
#include "process_counts.h"
#include "velto/test_peer.h"
#include "velto/unicode.h"

namespace velto::test {
namespace {

constexpr int kRounds = 200;
constexpr int kWarmUp = 20;
constexpr int64_t kHandleTolerance = 8;  // the peer closes its side of a connection a bit later
constexpr int64_t kMemoryTolerance = 4 << 20;

PeerReply Answer(const PeerRequest& request) {
  if (request.Target().ends_with("/gate")) {
    // A freshly loaded library has no key: its session check fails and it logs in.
    return PeerReply::Json(request.Method() == "GET"
                               ? R"({"code":"100","value":false})"
                               : R"({"code":"100","value":{"userId":"u1","id":"key-1"}})");
  }
  return PeerReply::Json(R"({"code":"100","value":{"id":"u1"}})");
}

// One round: load, configure, log in and read a record, unload.
void UseOnce(const std::string& root) {
  const HostExports host;
  host.Init(Utf8ToUtf16(root), u"card-1", u"S");
  const std::u16string envelope = host.Text("User_Get", {u"u1"});
  EXPECT_NE(envelope.find(u"\"code\": \"SUCCESS\""), std::u16string::npos) << Utf16ToUtf8(envelope);
}

TEST(LoadUnload, TwoHundredRoundsLeaveHandlesAndMemoryFlat) {
  TestPeer peer;
  peer.SetResponder(Answer);
  const auto started = std::chrono::steady_clock::now();
  ProcessCounts warm;
  for (int round = 0; round < kRounds; ++round) {
    if (round == kWarmUp) warm = CountProcess();
    UseOnce(peer.Root());
    if (::testing::Test::HasFailure()) return;
  }
  const ProcessCounts last = CountProcess();
  EXPECT_EQ(peer.Requests().size(), 3u * kRounds)
      << "a session check, a log-in and a read each round";
  ::testing::Test::RecordProperty("handles_after_warm_up", std::to_string(warm.handles));
  ::testing::Test::RecordProperty("handles_at_end", std::to_string(last.handles));
  ::testing::Test::RecordProperty("memory_after_warm_up", std::to_string(warm.memory_bytes));
  ::testing::Test::RecordProperty("memory_at_end", std::to_string(last.memory_bytes));
  ::testing::Test::RecordProperty(
      "milliseconds", std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started)
                                         .count()));
  if (warm.handles == 0 && warm.memory_bytes == 0) {
    // Wine answers both with zero: only the rounds themselves were checked.
    GTEST_SKIP() << "this system counts neither handles nor private bytes; working set "
                 << warm.working_set_bytes << " bytes after the warm-up, " << last.working_set_bytes
                 << " at the end";
  }
  EXPECT_LE(last.handles - warm.handles, kHandleTolerance);
  EXPECT_LE(last.memory_bytes - warm.memory_bytes, kMemoryTolerance);
}

}  // namespace
}  // namespace velto::test
