// Two threads meeting at the connection.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "center_fixture.h"
#include "velto/dao.h"

namespace velto::test {
namespace {

using namespace std::chrono_literals;

TEST_F(CenterTest, RefusesASecondRequestWhileOneRuns) {
  // The first reply waits until the second request has been refused.
  std::promise<void> refused;
  peer_.SetResponder([answer = refused.get_future().share()](const PeerRequest&) {
    answer.wait_for(10s);
    return PeerReply::Json("{\"first\":1}");
  });
  std::u16string first;
  std::thread runner([&] { first = TVeltoDAO::DoGet(u"/slow"); });
  for (int i = 0; i < 1000 && peer_.Requests().empty(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(peer_.Requests().size(), 1u);
  try {
    TVeltoDAO::DoGet(u"/second");
    ADD_FAILURE() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"작업 중입니다");
  }
  refused.set_value();
  runner.join();
  EXPECT_EQ(first, u"{\"first\":1}") << "the running request is not disturbed";
  EXPECT_EQ(peer_.Requests().size(), 1u);
}

}  // namespace
}  // namespace velto::test
