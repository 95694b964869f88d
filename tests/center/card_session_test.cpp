// The card gates on the wire.
#include <gtest/gtest.h>

#include <algorithm>

#include "center_fixture.h"
#include "velto/gate_stamp.h"
#include "velto/user_card_dao.h"

namespace velto::test {
namespace {

// The stamp in a gate path, checked to be 20 digits formed while the call ran.
void ExpectGatePath(const PeerRequest& request, const std::u16string& before,
                    const std::u16string& after) {
  const std::string target = request.Target();
  const std::string_view prefix = "/user-card/", suffix = "/gate";
  ASSERT_TRUE(target.starts_with(prefix) && target.ends_with(suffix)) << target;
  const std::string digits =
      target.substr(prefix.size(), target.size() - prefix.size() - suffix.size());
  ASSERT_EQ(digits.size(), 20u) << target;
  EXPECT_TRUE(
      std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }));
  EXPECT_TRUE(digits.ends_with("123"));
  const std::u16string stamp = Utf8ToUtf16(digits);
  EXPECT_LE(before, stamp);
  EXPECT_GE(after, stamp);
}

TEST_F(CenterTest, CheckAsksTheGateWithTheCurrentKey) {
  TVeltoCenter::SetKey({u"", u"k-9"});
  const struct {
    const char* value;
    bool result;
  } cases[] = {
      {"true", true}, {"false", false}, {"\"true\"", false}, {"null", false}, {"1", false}};
  for (const auto& c : cases) {
    peer_.Enqueue(ServerReply("100", c.value));
    const std::u16string before = GateTimeStamp();
    EXPECT_EQ(TVeltoUserCardDAO::Check(), c.result) << c.value;
    const PeerRequest request = peer_.Requests().back();
    ExpectGatePath(request, before, GateTimeStamp());
    EXPECT_EQ(request.Method(), "GET");
    EXPECT_EQ(request.Header("key-id"), "k-9");
  }
  peer_.Enqueue(PeerReply::Json(R"({"code":"100","message":"no value"})"));
  EXPECT_FALSE(TVeltoUserCardDAO::Check());
}

TEST_F(CenterTest, EnterPostsTheCardNumberAsTheWholeBody) {
  peer_.Enqueue(ServerReply("100", R"({"userId":"u1","id":"k1"})"));
  const std::u16string before = GateTimeStamp();
  const TVeltoKey key = TVeltoUserCardDAO::Enter(u"1234");
  const PeerRequest request = OnlyRequest();
  ExpectGatePath(request, before, GateTimeStamp());
  EXPECT_EQ(request.RequestLine().substr(0, 5), "POST ");
  EXPECT_EQ(request.Version(), "HTTP/1.0");
  EXPECT_EQ(request.Body(), "1234");
  EXPECT_EQ(request.Header("Content-Type"), "application/json; charset=utf-8");
  EXPECT_FALSE(request.HasHeader("key-id"));
  EXPECT_EQ(key.UserId, u"u1");
  EXPECT_EQ(key.Id, u"k1");
  EXPECT_TRUE(TVeltoCenter::Key().Id.empty()) << "Enter does not store the key";
}

TEST_F(CenterTest, LeaveDeletesTheGateOfTheKeyHeader) {
  TVeltoCenter::SetKey({u"", u"k1"});
  peer_.Enqueue(ServerReply("100", "null"));
  TVeltoUserCardDAO::Leave();
  const PeerRequest request = OnlyRequest();
  EXPECT_EQ(request.Method(), "DELETE");
  EXPECT_EQ(request.Header("key-id"), "k1");
  EXPECT_EQ(TVeltoCenter::Key().Id, u"k1") << "the key stays";
}

TEST_F(CenterTest, GateFailuresCarryTheirMessages) {
  const struct {
    PeerReply reply;
    const char16_t* message;
  } cases[] = {
      {ServerReply("301", "null", "gone"), u"[301] gone"},
      {PeerReply::Raw("HTTP/1.1 204 No Content\r\n\r\n"), u"Type mismatch"},
      {PeerReply::Json("not json"), u"Type mismatch"},
      {PeerReply::Http("HTTP/1.1 500 Internal Server Error"),
       u"HTTP/1.1 500 Internal Server Error"},
  };
  for (const auto& c : cases) {
    for (int operation = 0; operation < 3; ++operation) {
      peer_.Enqueue(c.reply);
      try {
        if (operation == 0) TVeltoUserCardDAO::Check();
        if (operation == 1) TVeltoUserCardDAO::Enter(u"1");
        if (operation == 2) TVeltoUserCardDAO::Leave();
        ADD_FAILURE() << "no failure";
      } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), c.message) << operation;
      }
    }
  }
}

}  // namespace
}  // namespace velto::test
