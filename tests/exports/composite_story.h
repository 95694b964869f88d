#pragma once

// One host's story through the composite exports against a velto-server, told alike on
// Linux (libvelto-box.so linked) and on Windows (Velto.Box.dll loaded under Wine).

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "velto_box.h"

namespace velto::test {

// The exports the story calls, however the host reached them.
struct StoryExports {
  decltype(&VeltoInit) Init;
  decltype(&VeltoEnter) Enter;
  decltype(&VeltoLastError) LastError;
  decltype(&VeltoAllocString) AllocString;
  decltype(&VeltoFreeString) FreeString;
  decltype(&VeltoRead) Read;
  decltype(&VeltoWriteIssue) WriteIssue;
  decltype(&VeltoWriteIssues) WriteIssues;
  decltype(&VeltoPortalUrl) PortalUrl;
  decltype(&VeltoDeleteIssue) DeleteIssue;
  decltype(&VeltoDeletePerson) DeletePerson;
  decltype(&VeltoSendMessage) Message;
  decltype(&VeltoSiteAdd) SiteAdd;
  decltype(&VeltoUserAdd) UserAdd;
};

// The server of the story: its root URL, the root user's card, and a plain GET of a page
// (status and body), as a browser opens the portal's gate.
struct StoryServer {
  std::string root;
  std::string admin_card;
  std::function<std::pair<int, std::string>(const std::string& url)> open_page;
};

// Provisions a site and a user, logs in with the user's card, writes issues with files
// made in `folder` (one of a Korean name, one empty, one of several MiB), reads the
// person back, sends a message, opens the portal's gate and deletes. Fails the running
// test at the first step that goes wrong.
void TellCompositeStory(const StoryExports& exports, const StoryServer& server,
                        const std::filesystem::path& folder);

}  // namespace velto::test
