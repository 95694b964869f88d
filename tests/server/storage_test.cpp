// What the server keeps on disk: upload limits, leftovers of failed uploads, a full disk,
// missing bytes, and who may read the files.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <fstream>

#include "server_fixture.h"

namespace velto::test {
namespace {

// Regular files in a folder, temporary ones included.
std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  return names;
}

class StorageTest : public ::testing::Test {
 protected:
  std::vector<std::string> Flags(std::vector<std::string> more = {}) const {
    std::vector<std::string> flags{"--db", db().string(), "--files", files().string(), "--quiet"};
    flags.insert(flags.end(), more.begin(), more.end());
    return flags;
  }
  std::filesystem::path db() const { return folder_.path() / "data" / "velto.db"; }
  std::filesystem::path files() const { return folder_.path() / "data" / "files"; }

  TemporaryFolder folder_;
};

TEST_F(StorageTest, RefusedUploadsLeaveNothingBehind) {
  ServerProcess server(Flags({"--max-upload", "1K"}));
  Api api(server);
  api.LogIn(server.admin_card());
  const World w = MakeWorld(api, "s");
  ASSERT_EQ(FilesIn(files()).size(), 1u);

  std::string truncated_type;
  std::string truncated =
      LibraryForm(UploadParts(std::string(900, 'x'), "t.txt", "", ""), truncated_type);
  truncated.resize(truncated.size() - 60);
  struct Case {
    const char* what;
    std::string path;
    std::vector<FormPart> parts;
    const char* code;
  };
  const Case cases[] = {
      {"over the limit", "/files/" + w.issue, UploadParts(std::string(1025, 'x'), "a", "", ""),
       "303"},
      {"to no issue", "/files/no-such-issue", UploadParts(std::string(1000, 'x'), "a", "", ""),
       "301"},
      {"two file parts",
       "/files/" + w.issue,
       {{FormPart::kFile, "file", "one", "a"}, {FormPart::kFile, "file", "two", "b"}},
       "303"},
      {"a text part too long",
       "/files/" + w.issue,
       {{FormPart::kFile, "file", "x", "a"},
        {FormPart::kBareText, "hlscName", std::string(70000, 'x'), ""}},
       "303"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(api.PostForm(c.path, c.parts).code(), c.code);
    EXPECT_EQ(FilesIn(files()).size(), 1u);
  }
  // A form cut short, its connection ended.
  const std::string request =
      "POST /files/" + w.issue + " HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
      "\r\nContent-Type: " + truncated_type +
      "\r\nContent-Length: " + std::to_string(truncated.size() + 60) + "\r\n\r\n" + truncated;
  EXPECT_EQ(ReplyOf(RawExchange(server.host(), server.port(), request)).code(), "303");
  EXPECT_EQ(FilesIn(files()).size(), 1u);
  EXPECT_EQ(api.Get("/files/" + w.issue + "?name=").value().Size(), 1u);
  // The limit itself is allowed.
  EXPECT_EQ(
      api.PostForm("/files/" + w.issue, UploadParts(std::string(1024, 'x'), "a", "", "")).code(),
      "100");
}

TEST_F(StorageTest, LogosGoWithAFormThatHasNoFile) {
  ServerProcess server(Flags());
  Api api(server);
  api.LogIn(server.admin_card());
  api.Create("/sites", {{"id", "S"}, {"name", "s"}});
  ASSERT_FALSE(api.PostForm("/site/S/logo", LogoParts()).Text("fileId").empty());
  ASSERT_EQ(FilesIn(files()).size(), 1u);
  // As the library removes a logo: one empty "file-name" text part.
  const Reply removed = api.PostForm("/site/S/logo", {{FormPart::kText, "file-name", "", ""}});
  EXPECT_EQ(removed.code(), "100") << removed.body;
  EXPECT_EQ(removed.Text("fileId"), "");
  EXPECT_TRUE(FilesIn(files()).empty());
}

TEST_F(StorageTest, AFileWhoseBytesAreMissingIsAServerFaultThatCanBeDeleted) {
  ServerProcess server(Flags());
  Api api(server);
  api.LogIn(server.admin_card());
  const World w = MakeWorld(api, "m");
  std::filesystem::remove(files() / api.Get("/file/" + w.file).Text("path"));
  EXPECT_EQ(api.Get("/file/" + w.file + "/data").status, 500);
  EXPECT_EQ(Api(server).Get("/portal/" + w.portal + "/file/" + w.file).status, 404);
  EXPECT_EQ(api.Get("/file/" + w.file).code(), "100");
  EXPECT_EQ(api.Delete("/file/" + w.file).code(), "100");
}

TEST_F(StorageTest, RecordsFilesAndKeysAreTheOwnersAlone) {
  std::string key;
  {
    ServerProcess server(Flags());
    Api api(server);
    key = api.LogIn(server.admin_card()).Text("id");
    MakeWorld(api, "o");
    // The journal exists only while the server runs.
    for (const auto& path : {db(), std::filesystem::path(db().string() + "-wal"), files(),
                             files() / FilesIn(files()).front()}) {
      struct stat status {};
      ASSERT_EQ(stat(path.c_str(), &status), 0) << path;
      EXPECT_EQ(status.st_mode & 077, 0u) << path << " is open to others";
    }
  }
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db().c_str(), &raw), SQLITE_OK);
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> handle(raw, sqlite3_close);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(raw, "SELECT id FROM sessions", -1, &statement, nullptr);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  const std::string stored = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  sqlite3_finalize(statement);
  EXPECT_EQ(stored.size(), 64u);
  EXPECT_EQ(stored.find(key), std::string::npos);
}

TEST_F(StorageTest, NothingStoredCrashesALaterRead) {
  std::string survey;
  std::string key;
  {
    ServerProcess server(Flags());
    Api api(server);
    key = api.LogIn(server.admin_card()).Text("id");
    survey = MakeWorld(api, "d").survey;
  }
  // Answers stored before there was a limit to their depth.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db().c_str(), &raw), SQLITE_OK);
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  const std::string sql =
      "UPDATE surveys SET \"values\" = '" + deep + "' WHERE id = '" + survey + "'";
  EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);

  ServerProcess server(Flags());
  Api api(server);
  api.set_key(key);
  const Reply values = api.Get("/survey/" + survey + "/values");
  EXPECT_EQ(values.code(), "100");
  EXPECT_EQ(values.value().Size(), 0u);
  EXPECT_EQ(server.Stop(), 0);
}

TEST_F(StorageTest, OnAFullDiskReadsWorkAndDeletesFreeSpace) {
  std::filesystem::create_directories(folder_.path() / "data");
  const Launch launch{PrivateMount(folder_.path() / "data", "24m"), {}};
  if (launch.wrapper.empty()) {
    std::cerr
        << "\n!!! NO PRIVATE MOUNTS HERE (unshare -Urm): THE FULL-DISK TEST IS SKIPPED !!!\n\n";
    GTEST_SKIP() << "unshare -Urm does not work on this machine";
  }
  ServerProcess server(Flags(), launch);
  Api api(server);
  api.LogIn(server.admin_card());
  const World w = MakeWorld(api, "f");
  const auto seen_files = server.SeenByServer(files());
  // Uploads until one fails for want of room; it leaves no bytes behind.
  std::vector<std::string> uploaded;
  const std::string megabyte(1024 * 1024, 'x');
  for (int i = 0; i < 40; ++i) {
    const Reply reply = api.PostForm("/files/" + w.issue, UploadParts(megabyte, "big", "", ""));
    if (reply.code() != "100") {
      EXPECT_EQ(reply.code(), "500");
      EXPECT_NE(reply.body.find("disk is full"), std::string::npos) << reply.body;
      break;
    }
    uploaded.push_back(reply.Text("id"));
  }
  ASSERT_FALSE(uploaded.empty());
  for (const std::string& name : FilesIn(seen_files)) {
    EXPECT_NE(name.rfind(".upload-", 0), 0u) << "a temporary file is left: " << name;
  }
  // Whatever room is left is taken too.
  {
    std::ofstream filler(seen_files / "filler", std::ios::binary);
    while (filler.write(megabyte.data(), 4096)) {
    }
  }
  EXPECT_EQ(api.Get("/sites").code(), "100");
  EXPECT_EQ(api.Get("/file/" + w.file).code(), "100");
  EXPECT_EQ(api.Get("/file/" + uploaded.front() + "/data").body.size(), megabyte.size());
  EXPECT_EQ(Api(server).Get("/portal/" + w.portal + "/gate").status, 200);
  for (const std::string& id : uploaded) {
    EXPECT_EQ(api.Delete("/file/" + id).code(), "100");
  }
  std::filesystem::remove(seen_files / "filler");
  EXPECT_EQ(api.PostForm("/files/" + w.issue, UploadParts(megabyte, "again", "", "")).code(),
            "100");
}

}  // namespace
}  // namespace velto::test
