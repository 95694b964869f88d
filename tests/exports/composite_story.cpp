#include "composite_story.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "velto/json_box.h"
#include "velto/unicode.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kLargeSize = 5 * 1024 * 1024 + 123;

// Texts in and out of the exports through the library's own allocator.
class Host {
 public:
  explicit Host(const StoryExports& exports) : exports_(exports) {}

  // A BSTR argument for the length of one call.
  class Text {
   public:
    Text(const StoryExports& exports, const std::string& utf8) : exports_(exports) {
      const std::u16string text = Utf8ToUtf16(utf8);
      bstr_ = exports.AllocString(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<uint32_t>(text.size()));
    }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    ~Text() { exports_.FreeString(bstr_); }
    operator BSTR() const { return bstr_; }

   private:
    const StoryExports& exports_;
    BSTR bstr_;
  };

  Text operator()(const std::string& utf8) const { return Text(exports_, utf8); }

  // Runs an export that stores a text and returns that text.
  std::string Result(const std::function<void(BSTR*)>& call) const {
    BSTR result = nullptr;
    call(&result);
    const std::string text = Utf8(result);
    exports_.FreeString(result);
    return text;
  }

  std::string LastError() const {
    return Result([&](BSTR* out) { exports_.LastError(out); });
  }

 private:
  static std::string Utf8(BSTR text) {
    if (text == nullptr) return {};
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof bytes, sizeof bytes);
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text), bytes / sizeof(char16_t)));
  }

  const StoryExports& exports_;
};

// A parsed envelope, or the person document inside one.
class Document {
 public:
  explicit Document(const std::string& text)
      : box_(TJSONBox::Create(JSONObject(Utf8ToUtf16(text)))) {}
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  ~Document() { box_.Free(); }

  std::string Text(const char16_t* path) const { return Utf16ToUtf8(box_[path].AsString()); }
  TJSONBox Get(const char16_t* path) const { return box_[path]; }
  bool Has(const char16_t* path) const { return box_.Exists(path); }

 private:
  TJSONBox box_;
};

// A text as a JSON string.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A folder of the story's own, removed however the story ends.
class OwnFolder {
 public:
  explicit OwnFolder(fs::path path) : path_(std::move(path)) { fs::create_directories(path_); }
  OwnFolder(const OwnFolder&) = delete;
  OwnFolder& operator=(const OwnFolder&) = delete;
  ~OwnFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }

 private:
  fs::path path_;
};

std::string PathText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void MakeFile(const fs::path& path, int64_t size) {
  std::ofstream out(path, std::ios::binary);
  for (int64_t at = 0; at < size; ++at) out.put(static_cast<char>('a' + at % 23));
}

struct LocalFile {
  fs::path path;
  std::string name;  // as the server keeps it
  int64_t size;
};

std::string FilesArray(const std::vector<LocalFile>& files) {
  std::string array = "[";
  for (const LocalFile& file : files) {
    if (array.size() > 1) array += ',';
    array += R"({"fileName":)" + Quoted(PathText(file.path)) + R"(,"hlscName":"",)" +
             R"("hlscDate":"2024-05-01"})";
  }
  return array + "]";
}

// The issues of a person document: each issue's name with its files' names and sizes.
std::string IssuesInShort(const Document& person) {
  std::string text;
  const TJSONBox issues = person.Get(u"issues");
  for (int32_t i = 0; i < issues.Count(); ++i) {
    text.append(Utf16ToUtf8(issues[i][u"name"].AsString())).append(":");
    const TJSONBox files = issues[i][u"files"];
    for (int32_t f = 0; f < files.Count(); ++f) {
      text.append(" ").append(Utf16ToUtf8(files[f][u"fileName"].AsString())).append("=");
      text.append(std::to_string(files[f][u"filesize"].AsInteger()));
    }
    text.append(";");
  }
  return text;
}

}  // namespace

void TellCompositeStory(const StoryExports& exports, const StoryServer& server,
                        const fs::path& folder) {
  const Host text(exports);
  const std::string site = "e2e-site";
  const std::string person = "e2e-person";
  const std::string kSuccess = "SUCCESS";

  // Provisioning, as the root user.
  exports.Init(text(server.root), text(server.admin_card), text(""));
  for (int round = 0; round < 2; ++round) {  // a second call finds what the first made
    EXPECT_EQ(text.Result([&](BSTR* r) { exports.SiteAdd(text(site), text("E2E 의원"), r); }),
              "{\r\n  \"code\": \"SUCCESS\"\r\n}");
  }
  const Document user(text.Result(
      [&](BSTR* r) { exports.UserAdd(text("e2e-user"), text("박"), text("pw"), text(site), r); }));
  ASSERT_EQ(user.Text(u"code"), kSuccess) << user.Text(u"data");
  const std::string card = user.Text(u"data");
  ASSERT_FALSE(card.empty());

  // From here on as the new user, with the card provisioning returned.
  exports.Enter(text(card));
  ASSERT_EQ(text.LastError(), "");
  exports.Init(text(server.root), text(card), text(site));

  const OwnFolder own(folder);
  const std::vector<LocalFile> files = {
      {folder / u"혈액 검사.txt", "혈액 검사.txt", 1000},
      {folder / "empty.bin", "empty.bin", 0},
      {folder / "scan.bin", "scan.bin", kLargeSize},
  };
  for (const LocalFile& file : files) MakeFile(file.path, file.size);
  const LocalFile xray{folder / "xray.png", "xray.png", 4096};
  MakeFile(xray.path, xray.size);
  const std::string head = R"({"id":")" + person + R"(","name":"홍길동","gender":"M",)" +
                           R"("birth":"1980-01-01","phone":"010-0000-0000",)" +
                           R"("portal":{"name":"main","endTime":"2099-12-31"},)";

  const Document one(text.Result([&](BSTR* r) {
    exports.WriteIssue(text(head + R"("issue":{"name":"검사","endTime":"2099-12-31","files":)" +
                            FilesArray(files) + "}}"),
                       r);
  }));
  ASSERT_EQ(one.Text(u"code"), kSuccess) << one.Text(u"data");
  const std::string gate = one.Text(u"data");
  EXPECT_EQ(gate.rfind(server.root + "/portal/", 0), 0u) << gate;
  EXPECT_EQ(one.Text(u"gender"), "M") << "the input comes back";

  const std::string read_back = text.Result([&](BSTR* r) { exports.Read(text(person), r); });
  const Document envelope(read_back);
  ASSERT_EQ(envelope.Text(u"code"), kSuccess) << envelope.Text(u"data");
  const Document written(envelope.Text(u"data"));
  EXPECT_EQ(written.Text(u"name"), "홍길동");
  EXPECT_EQ(IssuesInShort(written),
            "검사: 혈액 검사.txt=1000 empty.bin=0 scan.bin=" + std::to_string(kLargeSize) + ";");

  const Document several(text.Result([&](BSTR* r) {
    exports.WriteIssues(
        text(head + R"("issues":[{"name":"X-ray","endTime":"2099","files":)" + FilesArray({xray}) +
             R"(},{"name":"MRI","endTime":"2099","files":[]}]})"),
        r);
  }));
  ASSERT_EQ(several.Text(u"code"), kSuccess) << several.Text(u"data");
  EXPECT_EQ(several.Text(u"data"), gate) << "the portal is found, not made again";

  const Document message(text.Result([&](BSTR* r) {
    exports.Message(
        text(R"({"personId":")" + person + R"(","msgType":"SMS","destPhone":"010-0000-0000",)" +
             R"("msgBody":"결과가 나왔습니다","templateCode":"T1"})"),
        r);
  }));
  ASSERT_EQ(message.Text(u"code"), kSuccess) << message.Text(u"data");
  const Document sent(message.Text(u"data"));
  EXPECT_NE(sent.Text(u"cmid"), "");
  EXPECT_EQ(sent.Text(u"msgBody"), "결과가 나왔습니다");

  const Document portal(text.Result([&](BSTR* r) { exports.PortalUrl(text(person), r); }));
  EXPECT_EQ(portal.Text(u"code"), kSuccess);
  EXPECT_EQ(portal.Text(u"data"), gate);
  const auto [status, page] = server.open_page(gate);
  EXPECT_EQ(status, 200);
  for (const char* shown : {"혈액 검사.txt", "empty.bin", "scan.bin", "xray.png", "X-ray"}) {
    EXPECT_NE(page.find(shown), std::string::npos) << shown << " is not on the gate page";
  }

  EXPECT_EQ(text.Result([&](BSTR* r) { exports.DeleteIssue(text(person), text("MRI"), r); }),
            "{\r\n  \"code\": \"SUCCESS\"\r\n}");
  const Document after_delete(text.Result([&](BSTR* r) { exports.Read(text(person), r); }));
  const Document remaining(after_delete.Text(u"data"));
  EXPECT_EQ(IssuesInShort(remaining), "검사: 혈액 검사.txt=1000 empty.bin=0 scan.bin=" +
                                          std::to_string(kLargeSize) + ";X-ray: xray.png=4096;");

  EXPECT_EQ(text.Result([&](BSTR* r) { exports.DeletePerson(text(person), r); }),
            "{\r\n  \"code\": \"SUCCESS\"\r\n}");
  const Document gone(text.Result([&](BSTR* r) { exports.Read(text(person), r); }));
  EXPECT_EQ(gone.Text(u"code"), "FAIL");
  EXPECT_EQ(gone.Text(u"data").rfind("[301]", 0), 0u) << gone.Text(u"data");
  EXPECT_EQ(text.LastError(), "");
}

}  // namespace velto::test
