// The pieces every operation export shares: the guard that keeps its failure, the result
// envelope, the session prologue and the trace line of VeltoInit.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "../center/center_fixture.h"
#include "../center/recording_events.h"
#include "velto/export_guard.h"
#include "velto/global.h"
#include "velto/http_error.h"
#include "velto/init_trace.h"
#include "velto/library_state.h"
#include "velto/operation.h"
#include "velto/velto_error.h"

namespace velto::test {
namespace {

std::string Envelope(const std::function<std::u16string()>& operation) {
  return Utf16ToUtf8(ResultEnvelope(operation));
}

TEST(ResultEnvelope, WritesCodeThenDataAsFourAsciiLines) {
  const struct {
    std::function<std::u16string()> operation;
    const char* text;
  } cases[] = {
      {[] { return u"{\r\n  \"id\": \"a1\"\r\n}"; },
       "{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"{\\r\\n  \\\"id\\\": "
       "\\\"a1\\\"\\r\\n}\"\r\n}"},
      {[]() -> std::u16string { throw EHttpError(500, "HTTP/1.1 500 Internal Server Error"); },
       "{\r\n  \"code\": \"FAIL\",\r\n  \"data\": \"HTTP\\/1.1 500 Internal Server Error\"\r\n}"},
      {[]() -> std::u16string { throw Exception(u"작업 중입니다"); },
       "{\r\n  \"code\": \"FAIL\",\r\n  \"data\": \"\\uC791\\uC5C5 "
       "\\uC911\\uC785\\uB2C8\\uB2E4\"\r\n}"},
      {[]() -> std::u16string { throw EVelto(u"301", u"gone"); },
       "{\r\n  \"code\": \"FAIL\",\r\n  \"data\": \"[301] gone\"\r\n}"},
      {[] { return u"\"가\"\\/"; },
       "{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"\\\"\\uAC00\\\"\\\\\\/\"\r\n}"},
      {[] { return u""; }, "{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"\"\r\n}"},
  };
  for (const auto& c : cases) EXPECT_EQ(Envelope(c.operation), c.text);
}

TEST(ResultEnvelope, TurnsAFailureOfAnyKindIntoFail) {
  const struct {
    std::function<std::u16string()> operation;
    const char* data;
  } cases[] = {
      {[]() -> std::u16string { throw std::bad_alloc(); }, "Out of memory"},
      {[]() -> std::u16string { throw std::runtime_error("disk \xEA\xB0\x80 full"); },
       "disk \\uAC00 full"},
      {[]() -> std::u16string { throw 42; }, "Unknown failure"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Envelope(c.operation),
              std::string("{\r\n  \"code\": \"FAIL\",\r\n  \"data\": \"") + c.data + "\"\r\n}");
  }
}

TEST(ExportGuard, KeepsAFailureOfAnyKindForTheThreadAndClearsItOnSuccess) {
  const struct {
    std::function<void()> body;
    const char16_t* kept;
  } cases[] = {
      {[] { throw Exception(u"가 failed"); }, u"가 failed"},
      {[] { throw std::runtime_error("disk \xEA\xB0\x80 full"); }, u"disk 가 full"},
      {[] { throw std::out_of_range("index"); }, u"index"},
      {[] { throw 42; }, u"Unknown failure"},
  };
  for (const auto& c : cases) {
    GuardExport(c.body);
    EXPECT_EQ(Utf16ToUtf8(LastHostFailure()), Utf16ToUtf8(c.kept));
    GuardExport([] {});
    EXPECT_EQ(LastHostFailure(), u"");
  }
}

TEST(InitTraceLine, MasksAllButTheLastFourCharactersOfTheCard) {
  EXPECT_EQ(InitTraceLine(u"http://h", u"1234567890", u"s1"),
            u"RootUrl = http://h, UserCardNumber = ******7890, SiteId = s1");
  EXPECT_EQ(InitTraceLine(u"", u"", u""), u"RootUrl = , UserCardNumber = , SiteId = ");
  EXPECT_EQ(InitTraceLine(u"r", u"123", u"s"), u"RootUrl = r, UserCardNumber = 123, SiteId = s");
}

TEST(LibraryState, LoadsDefaultsAndUnloadsInReverse) {
  RecordingEvents events;
  TVeltoCenter::SetRoot(u"elsewhere");
  LoadLibraryState();
  EXPECT_EQ(TVeltoCenter::Root(), u"http://127.0.0.1:8080");
  EXPECT_TRUE(TVeltoCenter::Key().Id.empty());
  EXPECT_TRUE(Global().UserCardNumber.empty());
  TVeltoCenter::GetInstance().WorkEvents().Reset(&events.com);
  TVeltoCenter::SetKey({u"", u"k"});
  SetGlobal({u"", u"s"});
  UnloadLibraryState();
  EXPECT_EQ(events.references, 1u) << "the connection is destroyed, releasing the receiver";
  EXPECT_EQ(TVeltoCenter::Root(), u"");
  EXPECT_TRUE(TVeltoCenter::Key().Id.empty());
  EXPECT_TRUE(Global().SiteId.empty());
  LoadLibraryState();
}

class PrologueTest : public CenterTest {
 protected:
  void SetUp() override {
    CenterTest::SetUp();
    SetGlobal({u"card-7", u""});
    TVeltoCenter::SetKey({u"u0", u"old"});
  }
  void TearDown() override {
    SetGlobal({});
    CenterTest::TearDown();
  }

  // Runs an operation export whose session prologue must fail with `message` (null: with
  // any message): the operation never runs and the result variable keeps its text.
  void ExpectThePrologueToFail(const char16_t* message) {
    bool ran = false;
    RunOperation(result_.Out(), [&] {
      ran = true;
      return u"x";
    });
    EXPECT_FALSE(ran);
    EXPECT_EQ(result_.Text(), u"untouched");
    if (message != nullptr) {
      EXPECT_EQ(Utf16ToUtf8(LastHostFailure()), Utf16ToUtf8(message));
    } else {
      EXPECT_NE(LastHostFailure(), u"");
    }
  }

  BstrOwner result_{u"untouched"};
};

TEST_F(PrologueTest, KeepsAnAcceptedKey) {
  peer_.Enqueue(ServerReply("100", "true"));
  RunOperation(result_.Out(), [] { return u"done"; });
  EXPECT_EQ(result_.Text(), u"{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"done\"\r\n}");
  EXPECT_EQ(OnlyRequest().Header("key-id"), "old");
  EXPECT_EQ(LastHostFailure(), u"");
}

TEST_F(PrologueTest, LogsInAgainWithTheConfiguredCardWhenTheKeyIsRejected) {
  peer_.Enqueue(ServerReply("100", "false"));
  peer_.Enqueue(ServerReply("100", R"({"userId":"u1","id":"new"})"));
  peer_.Enqueue(PeerReply::Json("{}"));
  RunOperation(result_.Out(), [] { return TVeltoCenter::GetInstance().Get(u"/work"); });
  const auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].Body(), "card-7");
  EXPECT_EQ(requests[1].Header("key-id"), "old");
  EXPECT_EQ(requests[2].Header("key-id"), "new");
  EXPECT_EQ(TVeltoCenter::Key().Id, u"new");
  EXPECT_EQ(result_.Text(), u"{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"{}\"\r\n}");
}

TEST_F(PrologueTest, LeavesTheExportWithoutAResultWhenItFails) {
  const struct {
    PeerReply reply;
    const char16_t* message;
  } cases[] = {
      {PeerReply::Http("HTTP/1.1 502 Bad Gateway"), u"HTTP/1.1 502 Bad Gateway"},
      {ServerReply("500", "null", "down"), u"[500] down"},
      {PeerReply::Json("oops"), u"Type mismatch"},
  };
  for (const auto& c : cases) {
    peer_.Enqueue(c.reply);
    ExpectThePrologueToFail(c.message);
  }
  peer_.Enqueue(ServerReply("100", "true"));
  RunOperation(result_.Out(), [] { return u"x"; });
  EXPECT_EQ(LastHostFailure(), u"") << "a call that did not fail so clears it";
}

TEST_F(PrologueTest, ReportsTheLogInsFailureWhenTheKeyIsRejectedAndKeepsNothingOfIt) {
  const struct {
    PeerReply reply;
    const char16_t* message;
  } cases[] = {
      {PeerReply::Http("HTTP/1.1 503 Service Unavailable"), u"HTTP/1.1 503 Service Unavailable"},
      {ServerReply("410", "null", "no such card"), u"[410] no such card"},
      {ServerReply("100", "[]"), u"Type mismatch"},
      {PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n{").Close(), nullptr},
  };
  for (const auto& c : cases) {
    const size_t before = peer_.Requests().size();
    peer_.Enqueue(ServerReply("100", "false"));
    peer_.Enqueue(c.reply);
    ExpectThePrologueToFail(c.message);
    EXPECT_EQ(TVeltoCenter::Key().Id, u"old") << "no key of the failed log-in is stored";
    const auto requests = peer_.Requests();
    ASSERT_EQ(requests.size(), before + 2) << "the check and the log-in, nothing more";
    EXPECT_EQ(requests.back().Body(), "card-7");
  }
  // The next call checks and logs in again, and its success clears the failure.
  peer_.Enqueue(ServerReply("100", "false"));
  peer_.Enqueue(ServerReply("100", R"({"userId":"u1","id":"new"})"));
  RunOperation(result_.Out(), [] { return u"x"; });
  EXPECT_EQ(TVeltoCenter::Key().Id, u"new");
  EXPECT_EQ(LastHostFailure(), u"");
  EXPECT_EQ(result_.Text(), u"{\r\n  \"code\": \"SUCCESS\",\r\n  \"data\": \"x\"\r\n}");
}

TEST_F(PrologueTest, RefusesANullResultVariableBeforeAnyWork) {
  bool ran = false;
  RunOperation(nullptr, [&] {
    ran = true;
    return u"x";
  });
  EXPECT_FALSE(ran) << "a deletion, say, must not happen when its outcome cannot be told";
  EXPECT_TRUE(peer_.Requests().empty()) << "not even the session check";
  EXPECT_EQ(Utf16ToUtf8(LastHostFailure()), "No variable was given for the result");
}

TEST_F(PrologueTest, PutsAFailureOfTheOperationIntoTheEnvelope) {
  peer_.Enqueue(ServerReply("100", "true"));
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 404 Not Found"));
  RunOperation(result_.Out(), [] { return TVeltoCenter::GetInstance().Get(u"/missing"); });
  EXPECT_EQ(result_.Text(),
            u"{\r\n  \"code\": \"FAIL\",\r\n  \"data\": \"HTTP\\/1.1 404 Not Found\"\r\n}");
  EXPECT_EQ(LastHostFailure(), u"");
}

}  // namespace
}  // namespace velto::test
