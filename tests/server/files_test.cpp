// Uploads as the library sends them, downloads, and what happens to the stored bytes.
#include <gtest/gtest.h>

#include <random>

#include "server_fixture.h"

namespace velto::test {
namespace {

using FileTest = ServerTest;

std::string RandomBytes(size_t size) {
  std::mt19937 generator(static_cast<unsigned>(size));
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(byte(generator));
  return bytes;
}

TEST_F(FileTest, UploadsComeBackByteForByte) {
  Api api = RootApi();
  const World w = MakeWorld(api, "f");
  // The last size is not a multiple of any buffer and holds a near miss of the form's boundary.
  const std::string boundary_inside = "\r\n----------120524140709041\r\n--";
  for (const std::string& bytes :
       {std::string(), std::string(1, '\0'), RandomBytes(3 * 1024 * 1024 + 7) + boundary_inside}) {
    SCOPED_TRACE(bytes.size());
    const Reply upload = api.PostForm("/files/" + w.issue, UploadParts(bytes, "scan.bin", "", ""));
    ASSERT_EQ(upload.code(), "100") << upload.body;
    ASSERT_TRUE(upload.value()["fileSize"].IsInt64());
    EXPECT_EQ(upload.value()["fileSize"].GetInt64(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(upload.Text("issueId"), w.issue);
    EXPECT_EQ(upload.Text("personId"), w.person);
    EXPECT_EQ(upload.Text("siteId"), w.site);
    EXPECT_FALSE(upload.Text("path").empty());

    const Reply download = api.Get("/file/" + upload.Text("id") + "/data");
    EXPECT_EQ(download.status, 200);
    EXPECT_TRUE(download.body == bytes) << "downloaded " << download.body.size() << " bytes";
  }
}

TEST_F(FileTest, FormValuesAreDecoded) {
  Api api = RootApi();
  const World w = MakeWorld(api, "f");
  // Quoted-printable text parts (with soft line breaks for long values) and bare ones.
  const std::string long_name(120, 'x');
  const std::vector<FormPart> parts = {
      {FormPart::kFile, "file", "abc", "%ED%8C%8C%EC%9D%BC.txt"},
      {FormPart::kBareText, "file-name", "검사 결과 (1)&2.txt", ""},
      {FormPart::kText, "hlscName", long_name + " 혈액 = 검사", ""},
      {FormPart::kBareText, "hlscDate", "2024-03-05 10:00", ""},
      {FormPart::kBareText, "endTime", "", ""},
  };
  const Reply upload = api.PostForm("/files/" + w.issue, parts);
  ASSERT_EQ(upload.code(), "100") << upload.body;
  EXPECT_EQ(upload.Text("fileName"), "검사 결과 (1)&2.txt");
  EXPECT_EQ(upload.Text("hlscName"), long_name + " 혈액 = 검사");
  EXPECT_EQ(upload.Text("hlscDate"), "2024-03-05 10:00");
  EXPECT_EQ(
      api.Get("/files/" + w.issue + "?name=" + UrlEncode("검사 결과 (1)&2.txt")).value().Size(),
      1u);
}

TEST_F(FileTest, BadFormsAreRefused) {
  Api api = RootApi();
  const World w = MakeWorld(api, "f");
  EXPECT_EQ(api.Post("/files/" + w.issue, LibraryJson({{"file", "x"}})).code(), "303");
  const std::vector<FormPart> no_file = {{FormPart::kBareText, "file-name", "a.txt", ""}};
  EXPECT_EQ(api.PostForm("/files/" + w.issue, no_file).code(), "303");
}

TEST_F(FileTest, ReadsAndDownloadsAreLogged) {
  Api api = RootApi();
  const World w = MakeWorld(api, "f");
  api.Get("/file/" + w.file);
  api.Get("/file/" + w.file + "/data");
  const std::string log = "/files/" + w.site + "/log?personId=" + w.person + "&fileId=" + w.file;
  const Reply all = api.Get(log + "&action=&searchFrom=&searchTo=");
  ASSERT_EQ(all.value().Size(), 2u) << all.body;
  EXPECT_STREQ(all.value()[0]["action"].GetString(), "read");
  EXPECT_STREQ(all.value()[1]["action"].GetString(), "download");
  EXPECT_EQ(api.Get(log + "&action=download&searchFrom=&searchTo=").value().Size(), 1u);
  EXPECT_EQ(api.Get(log + "&action=&searchFrom=2999-01-01&searchTo=").value().Size(), 0u);
  EXPECT_EQ(api.Get("/files/" + w.site + "/log?personId=" + w.person2 +
                    "&fileId=&action=&searchFrom=&searchTo=")
                .value()
                .Size(),
            0u);
}

TEST_F(FileTest, ChangingAFileKeepsItsSizeAndPlace) {
  Api api = RootApi();
  const World w = MakeWorld(api, "f");
  const Reply before = api.Get("/file/" + w.file);
  const Reply after = api.Put(
      "/file/" + w.file, R"({"id":"other","path":"/etc/passwd","fileSize":1,"hlscName":"새"})");
  ASSERT_EQ(after.code(), "100") << after.body;
  EXPECT_EQ(after.Text("hlscName"), "새");
  EXPECT_EQ(after.Text("id"), w.file);
  EXPECT_EQ(after.Text("path"), before.Text("path"));
  EXPECT_EQ(after.value()["fileSize"].GetInt64(), before.value()["fileSize"].GetInt64());
  EXPECT_EQ(api.Get("/file/" + w.file + "/data").body, w.file_bytes);
}

TEST_F(FileTest, DeletesTakeDependentRecordsAndBytesWithThem) {
  Api api = RootApi();
  const World w = MakeWorld(api, "f");
  const std::string second_issue =
      api.Create("/issues/" + w.site + "/" + w.person, {{"id", ""}, {"name", "두 번째"}});
  const std::string second_file =
      api.PostForm("/files/" + second_issue, UploadParts("2", "b.txt", "", "")).Text("id");

  ASSERT_EQ(api.Delete("/issue/" + w.issue).code(), "100");
  EXPECT_EQ(api.Get("/file/" + w.file).code(), "301");
  EXPECT_EQ(api.Get("/file/" + w.file + "/data").status, 404);
  EXPECT_EQ(api.Get("/survey/" + w.survey).code(), "301");
  EXPECT_EQ(api.Get("/file/" + second_file).code(), "100");

  ASSERT_EQ(api.Delete("/person/" + w.site + "/" + w.person).code(), "100");
  for (const std::string& path : {"/issue/" + second_issue, "/file/" + second_file,
                                  "/portal/" + w.portal, "/consent/" + w.site + "/" + w.person}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(api.Get(path).code(), "301");
  }
  EXPECT_EQ(api.Get("/person/" + w.site + "/" + w.person2).code(), "100");
}

TEST(FileStorageTest, DeletedFilesLeaveNoBytesBehind) {
  TemporaryFolder folder;
  const auto files = folder.path() / "files";
  ServerProcess server({"--db", (folder.path() / "v.db").string(), "--files", files.string()});
  Api api(server);
  api.LogIn(server.admin_card());
  const std::string site = api.Create("/sites", {{"id", "S"}, {"name", "s"}});
  api.Create("/persons/S", {{"id", "P"}});
  const std::string issue = api.Create("/issues/S/P", {{"id", ""}, {"name", "i"}});
  const auto stored = [&] {
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(files)) {
      count += entry.is_regular_file() ? 1 : 0;
    }
    return count;
  };
  const std::string a = api.PostForm("/files/" + issue, UploadParts("a", "a", "", "")).Text("id");
  api.PostForm("/files/" + issue, UploadParts("b", "b", "", ""));
  const std::vector<FormPart> logo = LogoParts();
  ASSERT_EQ(api.PostForm("/site/S/logo", logo).code(), "100");
  EXPECT_EQ(stored(), 3u);
  // A new logo replaces the old one's bytes.
  const Reply relogo = api.PostForm("/site/S/logo", logo);
  EXPECT_EQ(stored(), 3u);
  EXPECT_EQ(api.Get("/file/" + relogo.Text("fileId") + "/data").body, "PNG");
  EXPECT_EQ(api.Delete("/file/" + a).code(), "100");
  EXPECT_EQ(stored(), 2u);
  EXPECT_EQ(api.Delete("/site/" + site).code(), "100");
  EXPECT_EQ(stored(), 0u);
}

}  // namespace
}  // namespace velto::test
