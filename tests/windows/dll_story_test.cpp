// The composite exports of Velto.Box.dll, loaded as a Windows host loads it, against the
// velto-server that the test run started on this machine (records_server.sh).
#include <gtest/gtest.h>
#include <windows.h>
#include <winhttp.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "composite_story.h"
#include "loaded_dll.h"
#include "scratch_path.h"
#include "velto/unicode.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

struct CloseHandle {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, CloseHandle>;

// A GET of `url` through WinHTTP, as a browser on the host opens the gate.
std::pair<int, std::string> OpenPage(const std::string& url) {
  const std::u16string text = Utf8ToUtf16(url);
  const std::wstring wide(text.begin(), text.end());
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wide.c_str(), 0, 0, &parts)) return {0, "bad URL"};
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  const Handle session(WinHttpOpen(L"story", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0));
  const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  const Handle request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
  if (!request ||
      !WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return {0, "no reply"};
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  std::string body;
  char buffer[16384];
  DWORD read = 0;
  while (WinHttpReadData(request.get(), buffer, sizeof buffer, &read) && read > 0) {
    body.append(buffer, read);
  }
  return {static_cast<int>(status), body};
}

std::string FirstLine(const fs::path& file) {
  std::string line;
  std::getline(std::ifstream(file), line);
  return line;
}

TEST(DllStory, ProvisionsWritesReadsSendsOpensTheGateAndDeletes) {
  const char* folder = std::getenv("VELTO_RECORDS_SERVER_DIR");
  if (folder == nullptr) {
    GTEST_SKIP() << "no velto-server to talk to: configure the Windows build with "
                    "-DVELTO_SERVER_EXECUTABLE=<the Linux build's velto-server>";
  }
  const StoryServer server = {FirstLine(fs::path(folder) / "url"),
                              FirstLine(fs::path(folder) / "card"), OpenPage};
  ASSERT_FALSE(server.root.empty());
  ASSERT_FALSE(server.admin_card.empty());
  LoadedDll dll;
#define VELTO_EXPORT(name) Lookup<decltype(name)>(dll.Module(), #name)
  const StoryExports exports = {
      dll.Init,
      dll.Enter,
      dll.LastError,
      dll.AllocString,
      dll.FreeString,
      VELTO_EXPORT(VeltoRead),
      VELTO_EXPORT(VeltoWriteIssue),
      VELTO_EXPORT(VeltoWriteIssues),
      VELTO_EXPORT(VeltoPortalUrl),
      VELTO_EXPORT(VeltoDeleteIssue),
      VELTO_EXPORT(VeltoDeletePerson),
      VELTO_EXPORT(VeltoSendMessage),
      VELTO_EXPORT(VeltoSiteAdd),
      VELTO_EXPORT(VeltoUserAdd),
  };
#undef VELTO_EXPORT
  TellCompositeStory(exports, server, ScratchPath("dll-story"));
}

}  // namespace
}  // namespace velto::test
