// Two threads meeting at the connection.
#include <gtest/gtest.h>

#include <string>

#include "dao_test_support.h"
#include "velto/dao.h"

namespace velto::test {
namespace {

TEST_F(CenterTest, RefusesASecondRequestWhileOneRuns) {
  const std::u16string first = WhileBusy(
      peer_,
      [] {
        ExpectFailure([] { return Utf16ToUtf8(TVeltoDAO::DoGet(u"/second")); }, Raised::Busy,
                      u"작업 중입니다");
      },
      "{\"first\":1}");
  EXPECT_EQ(first, u"{\"first\":1}") << "the running request is not disturbed";
  EXPECT_EQ(peer_.Requests().size(), 1u);
}

}  // namespace
}  // namespace velto::test
