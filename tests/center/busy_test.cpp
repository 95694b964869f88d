// Two threads meeting at the connection.
#include <gtest/gtest.h>

#include <thread>

#include "center_fixture.h"
#include "velto/dao.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

TEST_F(CenterTest, RefusesASecondRequestWhileOneRuns) {
  peer_.Enqueue(PeerReply::Json("{\"first\":1}").Pause(1500ms));
  std::u16string first;
  std::thread runner([&] { first = TVeltoDAO::DoGet(u"/slow"); });
  for (int i = 0; i < 200 && peer_.Requests().empty(); ++i) std::this_thread::sleep_for(10ms);
  try {
    TVeltoDAO::DoGet(u"/second");
    ADD_FAILURE() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"작업 중입니다");
  }
  runner.join();
  EXPECT_EQ(first, u"{\"first\":1}") << "the running request is not disturbed";
  EXPECT_EQ(peer_.Requests().size(), 1u);
}

}  // namespace
}  // namespace velto::test
