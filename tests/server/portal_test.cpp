// The portal's gate page, which a person opens in a browser without any key.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "server_fixture.h"

namespace velto::test {
namespace {

using PortalTest = ServerTest;

// The href values of the page's links, in order.
std::vector<std::string> Links(const std::string& html) {
  std::vector<std::string> links;
  for (size_t at = html.find("href=\""); at != std::string::npos;
       at = html.find("href=\"", at + 1)) {
    const size_t start = at + 6;
    links.push_back(html.substr(start, html.find('"', start) - start));
  }
  return links;
}

// A link resolved against the gate's path, as a browser resolves it.
std::string Resolve(const std::string& portal, const std::string& link) {
  return "/portal/" + portal + "/" + link;
}

TEST_F(PortalTest, GatePageListsThePersonsIssuesAndFiles) {
  Api api = RootApi();
  const World w = MakeWorld(api, "p");
  const std::string second =
      api.Create("/issues/" + w.site + "/" + w.person, {{"id", ""}, {"name", "<혈액> & \"검사\""}});
  const Reply upload = api.PostForm("/files/" + second, UploadParts("second", "둘.txt", "", ""));

  Api browser(server());  // no key
  const Reply page = browser.Get("/portal/" + w.portal + "/gate");
  ASSERT_EQ(page.status, 200);
  EXPECT_EQ(page.content_type, "text/html; charset=utf-8");
  for (const char* text :
       {"<html lang=\"ko\">", "<meta charset=\"utf-8\">", "홍길동", "검사 결과", "결과.pdf",
        "&lt;혈액&gt; &amp; &quot;검사&quot;", "둘.txt", "2099-12-31"}) {
    EXPECT_NE(page.body.find(text), std::string::npos) << text;
  }
  EXPECT_EQ(page.body.find("김철수"), std::string::npos) << "another person's name";

  const auto links = Links(page.body);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(browser.Get(Resolve(w.portal, links[0])).body, w.file_bytes);
  const Reply download = browser.Get(Resolve(w.portal, links[1]));
  EXPECT_EQ(download.body, "second");
  EXPECT_NE(download.content_type.find("octet-stream"), std::string::npos);

  // Visits and downloads are on record.
  const Reply visits =
      api.Get("/persons/" + w.site + "/enter?personId=" + w.person + "&searchFrom=&searchTo=");
  ASSERT_EQ(visits.value().Size(), 1u);
  EXPECT_STREQ(visits.value()[0]["portalId"].GetString(), w.portal.c_str());
  const Reply log = api.Get("/files/" + w.site + "/log?personId=&fileId=" + upload.Text("id") +
                            "&action=download&searchFrom=&searchTo=");
  EXPECT_EQ(log.value().Size(), 1u);
}

TEST_F(PortalTest, OnlyThePortalsOwnFilesCanBeDownloaded) {
  Api api = RootApi();
  const World w = MakeWorld(api, "p");
  const std::string others_issue =
      api.Create("/issues/" + w.site + "/" + w.person2, {{"id", ""}, {"name", "x"}});
  const std::string others_file =
      api.PostForm("/files/" + others_issue, UploadParts("private", "p.txt", "", "")).Text("id");
  const std::vector<FormPart> logo = LogoParts();
  const std::string logo_file = api.PostForm("/site/" + w.site + "/logo", logo).Text("fileId");

  Api browser(server());
  for (const std::string& file : {others_file, logo_file, std::string("no-such-file")}) {
    SCOPED_TRACE(file);
    const Reply reply = browser.Get("/portal/" + w.portal + "/file/" + file);
    EXPECT_EQ(reply.status, 404);
    EXPECT_EQ(reply.body.find("private"), std::string::npos);
  }
  EXPECT_EQ(browser.Get("/portal/no-such-portal/file/" + w.file).status, 404);
  EXPECT_EQ(browser.Get("/portal/no-such-portal/gate").status, 404);
  // The file route of the records needs a key.
  EXPECT_EQ(browser.Get("/file/" + w.file + "/data").status, 401);
}

TEST_F(PortalTest, ExpiredPortalsShowNoFiles) {
  Api api = RootApi();
  const World w = MakeWorld(api, "p");
  ASSERT_EQ(api.Put("/portal/" + w.portal, LibraryJson({{"endTime", "2000-01-01"}})).code(), "100");
  Api browser(server());
  const Reply page = browser.Get("/portal/" + w.portal + "/gate");
  EXPECT_EQ(page.status, 410);
  EXPECT_NE(page.body.find("열람 기간이 끝났습니다"), std::string::npos);
  EXPECT_TRUE(Links(page.body).empty());
  EXPECT_EQ(browser.Get("/portal/" + w.portal + "/file/" + w.file).status, 404);
  // Moving the end forward opens it again.
  api.Put("/portal/" + w.portal, LibraryJson({{"endTime", "2099-01-01 00:00:00"}}));
  EXPECT_EQ(browser.Get("/portal/" + w.portal + "/gate").status, 200);
}

// Headless Chromium, run with a fresh profile; returns what it printed to standard output, and
// its log (the page's console among it) too when `with_log`.
std::string RunChromium(const std::filesystem::path& profile, const std::string& arguments,
                        bool with_log = false) {
  const std::string command =
      "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--user-data-dir=" +
      profile.string() + " " + arguments +
      (with_log ? " --enable-logging=stderr --v=0 2>&1" : " 2>/dev/null");
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

bool ChromiumInstalled() {
  return std::system("command -v chromium >/dev/null 2>&1") == 0;
}

TEST_F(PortalTest, ChromiumShowsThePageAndItsLinksWork) {
  if (!ChromiumInstalled()) {
    std::cerr << "\n!!! CHROMIUM IS NOT INSTALLED: THE BROWSER TEST OF THE PORTAL PAGE IS "
                 "SKIPPED (scripts/setup installs it) !!!\n\n";
    GTEST_SKIP() << "chromium is not installed";
  }
  Api api = RootApi();
  const World w = MakeWorld(api, "b");
  api.PostForm("/files/" + w.issue,
               UploadParts(std::string(300 * 1024, 'x'), "영상.png", "검사 영상", "2024-03-06"));
  const std::string gate = server().url() + "/portal/" + w.portal + "/gate";
  TemporaryFolder profile;

  const std::string dom = RunChromium(profile.path(), "--dump-dom " + gate);
  for (const char* text : {"홍길동님의 자료", "검사 결과", "결과.pdf", "영상.png", "검사 영상"}) {
    EXPECT_NE(dom.find(text), std::string::npos) << text << " missing from:\n" << dom;
  }
  const auto links = Links(dom);
  ASSERT_EQ(links.size(), 2u) << dom;
  Api browser(server());
  EXPECT_EQ(browser.Get(Resolve(w.portal, links[0])).body, w.file_bytes);
  // The page's policy blocks nothing that the page uses.
  const std::string log = RunChromium(profile.path(), "--dump-dom " + gate, true);
  EXPECT_NE(log.find("홍길동님의 자료"), std::string::npos) << log;
  EXPECT_EQ(log.find("Content Security Policy"), std::string::npos) << log;

  // Kept beside the test program for a person to look at.
  const std::filesystem::path screenshot = std::filesystem::absolute("portal-gate.png");
  std::filesystem::remove(screenshot);
  RunChromium(profile.path(),
              "--window-size=1000,700 --screenshot=" + screenshot.string() + " " + gate);
  std::ifstream png(screenshot, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(png)), {});
  ASSERT_GT(bytes.size(), 10000u) << "a page with text, not a blank one";
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
}

}  // namespace
}  // namespace velto::test
