// Two clients working at the same time, each with its own session.
#include <gtest/gtest.h>

#include <thread>

#include "server_fixture.h"

namespace velto::test {
namespace {

using ConcurrencyTest = ServerTest;

TEST_F(ConcurrencyTest, TwoClientsAtOnceEachSeeTheirOwnWork) {
  constexpr int kRounds = 15;
  Api setup = RootApi();
  const World w = MakeWorld(setup, "c");
  std::vector<std::string> failures[2];
  const auto client = [&](int index) {
    Api api(server());
    api.LogIn(server().admin_card());
    const std::string bytes(64 * 1024 + index, static_cast<char>('a' + index));
    for (int round = 0; round < kRounds; ++round) {
      // Appended, not "c" + std::to_string(...), which g++ 12 at -O3 misreads as overlapping.
      std::string name = "c";
      name.append(std::to_string(index)).append("-").append(std::to_string(round));
      const std::string issue =
          api.Create("/issues/" + w.site + "/" + w.person, {{"id", ""}, {"name", name}});
      const Reply upload = api.PostForm("/files/" + issue, UploadParts(bytes, name, "", ""));
      if (api.Get("/file/" + upload.Text("id") + "/data").body != bytes) {
        failures[index].push_back("download of " + name);
      }
      if (api.Get("/issues/" + w.site + "/" + w.person + "?name=" + name).value().Size() != 1) {
        failures[index].push_back("list of " + name);
      }
    }
  };
  std::thread first(client, 0);
  std::thread second(client, 1);
  first.join();
  second.join();
  EXPECT_TRUE(failures[0].empty() && failures[1].empty())
      << failures[0].size() << " and " << failures[1].size() << " failures";
  EXPECT_EQ(setup.Get("/issues/" + w.site + "/" + w.person + "?name=").value().Size(),
            1u + 2 * kRounds);
}

}  // namespace
}  // namespace velto::test
