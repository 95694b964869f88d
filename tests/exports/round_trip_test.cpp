// Every export of single server operations once, through the exported C ABI, against
// velto-server: records made, read, listed, changed, uploaded, downloaded and deleted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host_exports.h"
#include "records_server.h"
#include "scratch_path.h"
#include "velto/host_stream.h"
#include "velto/json_box.h"
#include "velto/unicode.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

// A JSON text that a call handed back, parsed; freed when it goes.
class Parsed {
 public:
  explicit Parsed(const std::u16string& text)
      : box_(text.starts_with(u"[") ? TJSONBox::Create(JSONArray(text))
                                    : TJSONBox::Create(JSONObject(text))),
        guard_(box_) {}

  std::u16string Text(std::u16string_view member) const { return box_[member].AsString(); }
  int32_t Count() const { return box_.Count(); }
  const TJSONBox& Box() const { return box_; }

 private:
  TJSONBox box_;
  JSONRootGuard guard_;
};

std::string EveryByteTwice() {
  std::string bytes;
  for (int i = 0; i < 512; ++i) bytes += static_cast<char>(i % 256);
  return bytes;
}

class RoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string reason;
    server_ = RecordsServer::Start(reason);
    if (!server_) GTEST_SKIP() << reason;
    host_.Init(Utf8ToUtf16(server_->Url()), Utf8ToUtf16(server_->Card()), u"");
    fs::create_directories(folder_);
    std::ofstream(folder_ / "scan.png", std::ios::binary) << kScan;
    std::ofstream(folder_ / "logo.png", std::ios::binary) << std::string("\x89PNG\r\n", 6);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // The "data" of a call that must succeed.
  std::u16string Ok(const char* name, const std::vector<std::u16string>& texts) {
    const Parsed envelope(host_.Text(name, texts));
    const std::u16string data = envelope.Text(u"data");
    EXPECT_EQ(envelope.Text(u"code"), u"SUCCESS") << name << ": " << Utf16ToUtf8(data);
    return data;
  }
  std::u16string Member(const char* name, const std::vector<std::u16string>& texts,
                        std::u16string_view member) {
    return Parsed(Ok(name, texts)).Text(member);
  }
  int32_t Count(const char* name, const std::vector<std::u16string>& texts) {
    return Parsed(Ok(name, texts)).Count();
  }

  const std::string kScan = EveryByteTwice();
  std::unique_ptr<RecordsServer> server_;
  HostExports host_;
  const fs::path folder_ = ScratchPath("round-trip");
};

TEST_F(RoundTripTest, EveryExportOnceAgainstTheServer) {
  // A site and its logo.
  const std::u16string site = Member("Site_Add", {u"{\"id\":\"s-rt\",\"name\":\"Clinic\"}"}, u"id");
  EXPECT_EQ(site, u"s-rt");
  EXPECT_EQ(Count("Site_GetList", {}), 1);
  EXPECT_EQ(Member("Site_Modify", {site, u"{\"name\":\"Clinic 2\"}"}, u"name"), u"Clinic 2");
  Ok("Site_SetLogo", {site, (folder_ / "logo.png").u16string()});
  EXPECT_NE(Member("Site_Get", {site}, u"fileId"), u"");

  // A user with a card.
  const std::u16string user =
      Member("User_Add", {u"{\"id\":\"u-rt\",\"name\":\"Kim\",\"password\":\"pw\"}"}, u"id");
  EXPECT_EQ(Count("User_GetList", {}), 2) << "the root user and this one";
  EXPECT_EQ(Member("User_Modify", {user, u"{\"name\":\"Kim 2\"}"}, u"name"), u"Kim 2");
  EXPECT_EQ(Member("User_Get", {user}, u"name"), u"Kim 2");
  const std::u16string card = Member("UserCard_Add", {user, u"{}"}, u"id");
  EXPECT_EQ(Count("UserCard_GetList", {user}), 1);
  EXPECT_EQ(Ok("UserCard_GetNumber", {card}).size(), 16u);

  // A person, found by a name that needs encoding, and the person's consent.
  const std::u16string person = Member(
      "Person_Add", {site, u"{\"id\":\"p/rt\",\"name\":\"이 가&\",\"phone\":\"010\"}"}, u"id");
  EXPECT_EQ(person, u"p/rt");
  EXPECT_EQ(Count("Person_GetList", {site, u"이 가&"}), 1);
  EXPECT_EQ(Member("Person_Modify", {site, person, u"{\"phone\":\"011\"}"}, u"phone"), u"011");
  EXPECT_EQ(Member("Person_Get", {site, person}, u"phone"), u"011");
  Ok("Consent_Add", {site, person, u"{\"signature\":\"sig\"}"});
  EXPECT_EQ(Member("Consent_Modify", {site, person, u"{\"signature\":\"sig 2\"}"}, u"signature"),
            u"sig 2");
  EXPECT_EQ(Member("Consent_Get", {site, person}, u"signature"), u"sig 2");

  // An issue with a file, uploaded and downloaded byte for byte, and a survey.
  const std::u16string issue = Member(
      "Issue_Add", {site, person, u"{\"id\":\"i-rt\",\"name\":\"Scan\",\"endTime\":\"20991231\"}"},
      u"id");
  EXPECT_EQ(Count("Issue_GetList", {site, person, u"Scan"}), 1);
  EXPECT_EQ(Member("Issue_Modify", {issue, u"{\"endTime\":\"21001231\"}"}, u"endTime"),
            u"21001231");
  EXPECT_EQ(Member("Issue_Get", {issue}, u"endTime"), u"21001231");
  const Parsed file(Ok("File_Add", {issue, (folder_ / "scan.png").u16string(),
                                    u"{\"hlscName\":\"h 1\",\"endTime\":\"20991231\"}"}));
  const std::u16string file_id = file.Text(u"id");
  EXPECT_EQ(file.Text(u"fileSize"), Utf8ToUtf16(std::to_string(kScan.size())));
  EXPECT_EQ(file.Text(u"hlscName"), u"h 1");
  EXPECT_EQ(Count("File_GetList", {issue, u"scan.png"}), 1);
  EXPECT_EQ(Member("File_Modify", {file_id, u"{\"hlscName\":\"h 2\"}"}, u"hlscName"), u"h 2");
  EXPECT_EQ(Member("File_Get", {file_id}, u"hlscName"), u"h 2");
  HostStream stream;
  host_.GetData(file_id, stream.get());
  EXPECT_EQ(host_.LastError(), u"");
  EXPECT_EQ(stream.Data(), kScan);
  EXPECT_EQ(Count("File_GetLogList", {site, person, file_id, u"download", u"", u""}), 1);
  const std::u16string survey = Member(
      "Survey_Add",
      {issue,
       u"{\"id\":\"v-rt\",\"name\":\"Q\",\"state\":\"complete\",\"values\":{\"t1\":\"yes\"}}"},
      u"id");
  EXPECT_EQ(Count("Survey_GetList", {issue}), 1);
  EXPECT_EQ(Member("Survey_Modify", {survey, u"{\"name\":\"Q 2\"}"}, u"name"), u"Q 2");
  EXPECT_EQ(Member("Survey_Get", {survey}, u"name"), u"Q 2");
  EXPECT_EQ(Count("SurveyValue_GetList", {survey}), 1);
  EXPECT_EQ(Count("SurveyValue_GetCompleteList", {survey}), 1);

  // A portal and the address of its gate.
  const std::u16string portal = Member(
      "Portal_Add", {site, person, u"{\"id\":\"o-rt\",\"name\":\"Main\",\"endTime\":\"20991231\"}"},
      u"id");
  EXPECT_EQ(Count("Portal_GetList", {site, person, u"Main"}), 1);
  EXPECT_EQ(Member("Portal_Modify", {portal, u"{\"name\":\"Main 2\"}"}, u"name"), u"Main 2");
  EXPECT_EQ(Member("Portal_Get", {portal}, u"name"), u"Main 2");
  EXPECT_EQ(host_.Text("Portal_GetPortalUrl", {portal}),
            Utf8ToUtf16(server_->Url()) + u"/portal/o-rt/gate");
  EXPECT_EQ(Count("Person_GetEnterList", {site, person, u"", u""}), 0) << "nobody visited";

  // A message and a billing entry.
  EXPECT_NE(Member("Message_Add",
                   {site, u"{\"personId\":\"p/rt\",\"destPhone\":\"010\",\"msgBody\":\"안녕\"}"},
                   u"cmid"),
            u"");
  EXPECT_EQ(Count("Message_GetSendResult", {site, person, u"", u""}), 1);
  Ok("Billing_Add", {site, u"{\"classCd\":\"M\",\"personId\":\"p/rt\",\"name\":\"Issue\"}"});
  EXPECT_EQ(Count("Billing_GetList", {site, person, u"M", u"", u""}), 1);

  // Everything deleted again; a delete's "data" is empty.
  const std::pair<const char*, std::vector<std::u16string>> deletes[] = {
      {"Survey_Delete", {survey}}, {"File_Delete", {file_id}},
      {"Portal_Delete", {portal}}, {"Consent_Delete", {site, person}},
      {"Issue_Delete", {issue}},   {"Person_Delete", {site, person}},
      {"UserCard_Delete", {card}}, {"User_Delete", {user}},
      {"Site_Delete", {site}},
  };
  for (const auto& [name, texts] : deletes) EXPECT_EQ(Ok(name, texts), u"") << name;
  const Parsed gone(host_.Text("Site_Get", {site}));
  EXPECT_EQ(gone.Text(u"code"), u"FAIL");
  EXPECT_EQ(Count("Site_GetList", {}), 0);
}

}  // namespace
}  // namespace velto::test
