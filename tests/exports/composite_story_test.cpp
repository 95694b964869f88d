// The composite exports of libvelto-box.so, called as a host calls them, against a
// velto-server of the test's own on an ephemeral port.
#include "composite_story.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "../server/server_process.h"
#include "scratch_path.h"

namespace velto::test {
namespace {

std::pair<int, std::string> OpenPage(const std::string& root, const std::string& url) {
  httplib::Client browser(root);
  const httplib::Result reply = browser.Get(url.substr(root.size()));
  if (!reply) return {0, httplib::to_string(reply.error())};
  return {reply->status, reply->body};
}

TEST(CompositeStory, ProvisionsWritesReadsSendsOpensTheGateAndDeletes) {
  ServerProcess server({"--memory"});
  ASSERT_FALSE(server.admin_card().empty());
  const StoryExports exports = {
      VeltoInit,         VeltoEnter,       VeltoLastError,   VeltoAllocString, VeltoFreeString,
      VeltoRead,         VeltoWriteIssue,  VeltoWriteIssues, VeltoPortalUrl,   VeltoDeleteIssue,
      VeltoDeletePerson, VeltoSendMessage, VeltoSiteAdd,     VeltoUserAdd,
  };
  const StoryServer story_server = {server.url(), server.admin_card(), [&](const std::string& url) {
                                      return OpenPage(server.url(), url);
                                    }};
  TellCompositeStory(exports, story_server, ScratchPath("story"));
}

}  // namespace
}  // namespace velto::test
