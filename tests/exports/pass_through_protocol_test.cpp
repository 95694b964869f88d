// The exports of single server operations on the wire, called by name as a host calls them:
// one table of all of them with the request each must send and the text it must hand back,
// then the cases at the edges. The same program runs on Linux and, against the DLL, under
// Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "form_expectation.h"
#include "host_exports.h"
#include "recording_events.h"
#include "scratch_path.h"
#include "velto/export_table.h"
#include "velto/host_stream.h"
#include "velto/json_box.h"
#include "velto/pass_through_catalog.h"
#include "velto/test_peer.h"
#include "velto/unicode.h"

namespace velto::test {
namespace {

namespace fs = std::filesystem;

// Writes the line breaks of a literal as CR LF, as the JSON writer does.
std::string Crlf(std::string_view text) {
  std::string out;
  for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::u16string Wide(std::string_view utf8) {
  return Utf8ToUtf16(utf8);
}

PeerReply Reply(std::string_view value_json) {
  return PeerReply::Json(R"({"code":"100","message":"ok","value":)" + std::string(value_json) +
                         "}");
}

PeerReply SessionAccepted() {
  return Reply("true");
}

// "data" of a result envelope, decoded; "code" is checked to be `code`.
std::string DataOf(const std::u16string& envelope, std::string_view code) {
  TJSONBox box = TJSONBox::Create(JSONObject(envelope));
  JSONRootGuard guard(box);
  EXPECT_EQ(Utf16ToUtf8(box[u"code"].AsString()), code) << Utf16ToUtf8(envelope);
  return Utf16ToUtf8(box[u"data"].AsString());
}

// What a call must hand back.
enum class Data {
  Value,   // the value text of kValueReply
  Number,  // the number text of kNumberReply
  Empty,   // an empty "data"
  Stream,  // no envelope: the bytes of kFileBytes land in the host's stream
  Url,     // no envelope, no request: the gate address
};

const char kValueReply[] = R"({"id":"x1","n":[1,"가"]})";
const std::string kValueEnvelope = Crlf(R"({
  "code": "SUCCESS",
  "data": "{\r\n  \"id\": \"x1\",\r\n  \"n\": [\r\n    1,\r\n    \"\\uAC00\"\r\n  ]\r\n}"
})");
const char kNumberReply[] = R"("0012")";
const std::string kNumberEnvelope = Crlf(R"({
  "code": "SUCCESS",
  "data": "0012"
})");
const std::string kEmptyEnvelope = Crlf(R"({
  "code": "SUCCESS",
  "data": ""
})");
const std::string kFailEnvelope = Crlf(R"({
  "code": "FAIL",
  "data": "[301] gone"
})");
const std::string kFileBytes("PK\x03\x04\0\r\n\xFF", 8);

// A JSON parameter on one line, and as the server must get it.
const std::u16string kJsonIn = u"{\"id\":\"x\",\"name\":\"김 1\",\"n\":[1]}";
const std::string kJsonOut = Crlf(R"({
  "id": "x",
  "name": "\uAE40 1",
  "n": [
    1
  ]
})");

const std::string kScanBytes("scan\0\r\n--------boundary-like\r\n", 30);

struct ExportCase {
  const char* name;
  std::vector<std::u16string> texts;
  std::string request_line;  // empty: nothing is sent
  std::string body;          // a form's body with "{boundary}" for its boundary
  Data data;
};

std::string Form(const std::vector<Part>& parts) {
  return FormBody("{boundary}", parts);
}

std::vector<ExportCase> Cases(const std::u16string& scan) {
  const std::u16string& j = kJsonIn;
  const std::string& out = kJsonOut;
  using D = Data;
  return {
      {"User_GetList", {}, "GET /users HTTP/1.1", "", D::Value},
      {"User_Add", {j}, "POST /users HTTP/1.0", out, D::Value},
      {"User_Get", {u"u1"}, "GET /user/u1 HTTP/1.1", "", D::Value},
      {"User_Modify", {u"u1", j}, "PUT /user/u1 HTTP/1.1", out, D::Value},
      {"User_Delete", {u"u1"}, "DELETE /user/u1 HTTP/1.1", "", D::Empty},
      {"UserCard_GetList", {u"u1"}, "GET /user-cards/u1 HTTP/1.1", "", D::Value},
      {"UserCard_Add", {u"u1", j}, "POST /user-cards/u1 HTTP/1.0", out, D::Value},
      {"UserCard_Delete", {u"c1"}, "DELETE /user-card/c1 HTTP/1.1", "", D::Empty},
      {"UserCard_GetNumber", {u"c1"}, "GET /user-card/c1/number HTTP/1.1", "", D::Number},
      {"Site_GetList", {}, "GET /sites HTTP/1.1", "", D::Value},
      {"Site_Add", {j}, "POST /sites HTTP/1.0", out, D::Value},
      {"Site_Get", {u"s1"}, "GET /site/s1 HTTP/1.1", "", D::Value},
      {"Site_Modify", {u"s1", j}, "PUT /site/s1 HTTP/1.1", out, D::Value},
      {"Site_Delete", {u"s1"}, "DELETE /site/s1 HTTP/1.1", "", D::Empty},
      {"Site_SetLogo",
       {u"s1", u""},
       "POST /site/s1/logo HTTP/1.0",
       Form({{Part::Text, "file-name", ""}}),
       D::Value},
      {"Person_GetList",
       {u"s1", u"Lee Kim"},
       "GET /persons/s1?name=Lee+Kim HTTP/1.1",
       "",
       D::Value},
      {"Person_Add", {u"s1", j}, "POST /persons/s1 HTTP/1.0", out, D::Value},
      {"Person_Get", {u"s1", u"p1"}, "GET /person/s1/p1 HTTP/1.1", "", D::Value},
      {"Person_Modify", {u"s1", u"p1", j}, "PUT /person/s1/p1 HTTP/1.1", out, D::Value},
      {"Person_Delete", {u"s1", u"p1"}, "DELETE /person/s1/p1 HTTP/1.1", "", D::Empty},
      {"Person_GetEnterList",
       {u"s1", u"p1", u"20240101", u"20241231"},
       "GET /persons/s1/enter?personId=p1&searchFrom=20240101&searchTo=20241231 HTTP/1.1",
       "",
       D::Value},
      {"Consent_Add", {u"s1", u"p1", j}, "POST /consent/s1/p1 HTTP/1.0", out, D::Value},
      {"Consent_Get", {u"s1", u"p1"}, "GET /consent/s1/p1 HTTP/1.1", "", D::Value},
      {"Consent_Modify", {u"s1", u"p1", j}, "PUT /consent/s1/p1 HTTP/1.1", out, D::Value},
      {"Consent_Delete", {u"s1", u"p1"}, "DELETE /consent/s1/p1 HTTP/1.1", "", D::Empty},
      {"Issue_GetList",
       {u"s1", u"p1", u"Scan"},
       "GET /issues/s1/p1?name=Scan HTTP/1.1",
       "",
       D::Value},
      {"Issue_Add", {u"s1", u"p1", j}, "POST /issues/s1/p1 HTTP/1.0", out, D::Value},
      {"Issue_Get", {u"i1"}, "GET /issue/i1 HTTP/1.1", "", D::Value},
      {"Issue_Modify", {u"i1", j}, "PUT /issue/i1 HTTP/1.1", out, D::Value},
      {"Issue_Delete", {u"i1"}, "DELETE /issue/i1 HTTP/1.1", "", D::Empty},
      {"File_GetList", {u"i1", u"scan.png"}, "GET /files/i1?name=scan.png HTTP/1.1", "", D::Value},
      {"File_Add",
       {u"i1", scan, u"{\"hlscName\":\"h 1\",\"hlscDate\":\"2024-03-05\",\"endTime\":20991231}"},
       "POST /files/i1 HTTP/1.0",
       Form({{Part::File, "file", kScanBytes, "scan.png", "image/png"},
             {Part::Bare, "file-name", "scan.png"},
             {Part::Bare, "hlscName", "h+1"},
             {Part::Bare, "hlscDate", "2024-03-05"},
             {Part::Bare, "endTime", "20991231"}}),
       D::Value},
      {"File_Get", {u"f1"}, "GET /file/f1 HTTP/1.1", "", D::Value},
      {"File_Modify", {u"f1", j}, "PUT /file/f1 HTTP/1.1", out, D::Value},
      {"File_Delete", {u"f1"}, "DELETE /file/f1 HTTP/1.1", "", D::Empty},
      {"File_GetData", {u"f1"}, "GET /file/f1/data HTTP/1.1", "", D::Stream},
      {"File_GetLogList",
       {u"s1", u"p1", u"f1", u"download", u"2024-01-01", u"2024-12-31"},
       "GET /files/s1/log?personId=p1&fileId=f1&action=download&searchFrom=2024-01-01"
       "&searchTo=2024-12-31 HTTP/1.1",
       "",
       D::Value},
      {"Portal_GetList",
       {u"s1", u"p1", u"Main"},
       "GET /portals/s1/p1?name=Main HTTP/1.1",
       "",
       D::Value},
      {"Portal_Add", {u"s1", u"p1", j}, "POST /portals/s1/p1 HTTP/1.0", out, D::Value},
      {"Portal_Get", {u"o1"}, "GET /portal/o1 HTTP/1.1", "", D::Value},
      {"Portal_Modify", {u"o1", j}, "PUT /portal/o1 HTTP/1.1", out, D::Value},
      {"Portal_Delete", {u"o1"}, "DELETE /portal/o1 HTTP/1.1", "", D::Empty},
      {"Portal_GetPortalUrl", {u"o1"}, "", "", D::Url},
      {"Message_Add", {u"s1", j}, "POST /message/s1 HTTP/1.0", out, D::Value},
      {"Message_GetSendResult",
       {u"s1", u"p1", u"2024-03-01", u"2024-03-05"},
       "GET /messages/s1?personId=p1&searchFrom=2024-03-01&searchTo=2024-03-05 HTTP/1.1",
       "",
       D::Value},
      {"Billing_GetList",
       {u"s1", u"p1", u"M", u"2024-01-01", u"2024-12-31"},
       "GET /billing/s1?personId=p1&classCd=M&searchFrom=2024-01-01&searchTo=2024-12-31 HTTP/1.1",
       "",
       D::Value},
      {"Billing_Add", {u"s1", j}, "POST /billing/s1 HTTP/1.0", out, D::Value},
      {"Survey_GetList", {u"i1"}, "GET /surveys/i1 HTTP/1.1", "", D::Value},
      {"Survey_Add", {u"i1", j}, "POST /surveys/i1 HTTP/1.0", out, D::Value},
      {"Survey_Get", {u"v1"}, "GET /survey/v1 HTTP/1.1", "", D::Value},
      {"Survey_Modify", {u"v1", j}, "PUT /survey/v1 HTTP/1.1", out, D::Value},
      {"Survey_Delete", {u"v1"}, "DELETE /survey/v1 HTTP/1.1", "", D::Empty},
      {"SurveyValue_GetList", {u"v1"}, "GET /survey/v1/values HTTP/1.1", "", D::Value},
      {"SurveyValue_GetCompleteList",
       {u"v1"},
       "GET /survey/v1/values/complete HTTP/1.1",
       "",
       D::Value},
  };
}

// The library configured for the peer and logged in with key-1; real files to upload in a
// folder of the test's own.
class PassThroughTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.Init(Wide(peer_.Root()), u"card-1", u"site-1");
    peer_.Enqueue(Reply(R"({"userId":"u1","id":"key-1"})"));
    host_.Enter(u"card-1");
    ASSERT_EQ(host_.LastError(), u"");
    fs::create_directories(folder_);
    std::ofstream(folder_ / "scan.png", std::ios::binary) << kScanBytes;
    requests_before_ = peer_.Requests().size();
  }
  void TearDown() override {
    host_.WorkEnd();
    fs::remove_all(folder_);
  }

  std::u16string Scan() const { return (folder_ / "scan.png").u16string(); }

  // The requests since the last call of this (or since SetUp).
  std::vector<PeerRequest> NewRequests() {
    const std::vector<PeerRequest> all = peer_.Requests();
    const std::vector<PeerRequest> since(all.begin() + static_cast<ptrdiff_t>(requests_before_),
                                         all.end());
    requests_before_ = all.size();
    return since;
  }

  // The requests of a call after its session check, which the server passed.
  std::vector<PeerRequest> AfterTheSessionCheck() {
    std::vector<PeerRequest> requests = NewRequests();
    EXPECT_FALSE(requests.empty()) << "no session check";
    if (requests.empty()) return requests;
    EXPECT_EQ(requests.front().Method(), "GET");
    EXPECT_TRUE(requests.front().Target().starts_with("/user-card/"));
    requests.erase(requests.begin());
    return requests;
  }

  // Runs an export of the envelope shape after a passed session check with `reply`.
  std::u16string Envelope(const char* name, const std::vector<std::u16string>& texts,
                          PeerReply reply) {
    peer_.Enqueue(SessionAccepted());
    peer_.Enqueue(std::move(reply));
    return host_.Text(name, texts);
  }

  std::string GateAddress(std::string_view id) const {
    return peer_.Root() + "/portal/" + std::string(id) + "/gate";
  }

  TestPeer peer_;
  HostExports host_;
  const fs::path folder_ = ScratchPath("pass-through");

 private:
  size_t requests_before_ = 0;
};

TEST(PassThroughCases, CoverEveryExportOfTheOperations) {
  std::set<std::string> covered;
  for (const ExportCase& c : Cases(u"")) covered.insert(c.name);
  std::set<std::string> exported;
  ForEachSingleOperationExport(
      [&](const PassThroughOperation& operation) { exported.insert(std::string(operation.name)); },
      [&](const TextExport& address) { exported.insert(std::string(address.name)); });
  EXPECT_EQ(covered, exported);
  EXPECT_EQ(covered.size(), 54u);
}

TEST_F(PassThroughTest, EveryExportSendsItsRequestAndHandsBackItsResult) {
  for (const ExportCase& c : Cases(Scan())) {
    SCOPED_TRACE(c.name);
    switch (c.data) {
      case Data::Value:
        EXPECT_EQ(Utf16ToUtf8(Envelope(c.name, c.texts, Reply(kValueReply))), kValueEnvelope);
        break;
      case Data::Number:
        EXPECT_EQ(Utf16ToUtf8(Envelope(c.name, c.texts, Reply(kNumberReply))), kNumberEnvelope);
        break;
      case Data::Empty:
        EXPECT_EQ(Utf16ToUtf8(Envelope(c.name, c.texts, Reply(kValueReply))), kEmptyEnvelope);
        break;
      case Data::Stream: {
        HostStream stream;
        peer_.Enqueue(SessionAccepted());
        peer_.Enqueue(PeerReply::Http("HTTP/1.1 200 OK", kFileBytes));
        host_.GetData(c.texts[0], stream.get());
        EXPECT_EQ(stream.Data(), kFileBytes);
        EXPECT_EQ(host_.LastError(), u"");
        break;
      }
      case Data::Url:
        EXPECT_EQ(Utf16ToUtf8(host_.Text(c.name, c.texts)), GateAddress("o1"));
        EXPECT_TRUE(NewRequests().empty()) << "nothing is sent";
        continue;
    }
    const std::vector<PeerRequest> requests = AfterTheSessionCheck();
    ASSERT_EQ(requests.size(), 1u);
    const PeerRequest& request = requests.front();
    EXPECT_EQ(request.RequestLine(), c.request_line);
    EXPECT_EQ(request.Header("key-id"), "key-1");
    EXPECT_FALSE(request.HasHeader("Expect"));
    std::string body = c.body;
    if (body.starts_with("--{boundary}")) {
      const std::string boundary = BoundaryOf(request);
      for (size_t at; (at = body.find("{boundary}")) != std::string::npos;) {
        body.replace(at, 10, boundary);
      }
    } else if (!body.empty()) {
      EXPECT_EQ(request.Header("Content-Type"), "application/json; charset=utf-8");
    } else {
      EXPECT_FALSE(request.HasHeader("Content-Type")) << "no body, no type";
    }
    EXPECT_EQ(request.Body(), body);
    if (!body.empty()) {
      EXPECT_EQ(request.Header("Content-Length"), std::to_string(body.size()));
    }
  }
}

TEST_F(PassThroughTest, EveryExportReportsAServerError) {
  for (const ExportCase& c : Cases(Scan())) {
    SCOPED_TRACE(c.name);
    if (c.data == Data::Url) continue;  // it never asks the server
    if (c.data == Data::Stream) {
      HostStream stream;
      peer_.Enqueue(SessionAccepted());
      peer_.Enqueue(PeerReply::Http("HTTP/1.1 500 Internal Server Error", "oops"));
      host_.GetData(c.texts[0], stream.get());
      EXPECT_EQ(host_.LastError(), u"HTTP/1.1 500 Internal Server Error");
      EXPECT_EQ(stream.Data(), "");
    } else {
      const std::u16string envelope =
          Envelope(c.name, c.texts, PeerReply::Json(R"({"code":"301","message":"gone"})"));
      EXPECT_EQ(Utf16ToUtf8(envelope), kFailEnvelope);
      EXPECT_EQ(host_.LastError(), u"") << "the failure is in the envelope only";
    }
    EXPECT_EQ(AfterTheSessionCheck().size(), 1u);
  }
}

TEST_F(PassThroughTest, WritesTheReplysValueAsIndentedJsonOrAsPlainText) {
  const struct {
    std::string reply;
    std::string value_text;   // User_Get
    std::string number_text;  // UserCard_GetNumber
  } cases[] = {
      {R"({"code":"100","message":"no value"})", "", ""},
      {R"({"code":100,"value":null})", "null", ""},
      {R"({"code":"100","value":"a\"b\/가"})", R"("a\"b\/\uAC00")", "a\"b/가"},
      {R"({"code":"100","value":1e2})", "1e2", "100"},
      {R"({"code":"100","value":-0.50})", "-0.50", "-0.5"},
      {R"({"code":"100","value":true})", "true", ""},
      {R"({"code":"100","value":[1,2]})", Crlf("[\n  1,\n  2\n]"), ""},
      {R"({"code":"100","value":{"a":[{"b":"c"}]}})",
       Crlf("{\n  \"a\": [\n    {\n      \"b\": \"c\"\n    }\n  ]\n}"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    EXPECT_EQ(DataOf(Envelope("User_Get", {u"u1"}, PeerReply::Json(c.reply)), "SUCCESS"),
              c.value_text);
    EXPECT_EQ(DataOf(Envelope("UserCard_GetNumber", {u"c1"}, PeerReply::Json(c.reply)), "SUCCESS"),
              c.number_text);
  }
}

TEST_F(PassThroughTest, PutsEveryFailureOfTheReplyIntoTheEnvelope) {
  const struct {
    std::string name;
    PeerReply reply;
    std::string message;
  } failures[] = {
      {"no code", PeerReply::Json(R"({"message":"m","value":{}})"), "[] m"},
      {"code 200", PeerReply::Json(R"({"code":"200","message":"x","value":{}})"), "[200] x"},
      {"code 100 as text with a space", PeerReply::Json(R"({"code":"100 ","message":"x"})"),
       "[100 ] x"},
      {"empty 204", PeerReply::Raw("HTTP/1.1 204 No Content\r\n\r\n"), "Type mismatch"},
      {"empty 200", PeerReply::Http("HTTP/1.1 200 OK"), "Type mismatch"},
      {"HTML",
       PeerReply::Http("HTTP/1.1 200 OK", "<html><body>busy</body></html>",
                       {{"Content-Type", "text/html"}}),
       "Type mismatch"},
      {"array", PeerReply::Json(R"([{"code":"100"}])"), "Type mismatch"},
      {"status 404", PeerReply::Http("HTTP/1.1 404 Not Found", R"({"code":"100"})"),
       "HTTP/1.1 404 Not Found"},
  };
  const std::pair<const char*, std::vector<std::u16string>> calls[] = {
      {"User_Get", {u"u1"}},
      {"Person_Delete", {u"s1", u"p1"}},  // reads no "value", but checks the reply all the same
      {"UserCard_GetNumber", {u"c1"}},
      {"Billing_GetList", {u"s1", u"p1", u"", u"", u""}},
      {"Site_SetLogo", {u"s1", u""}},
  };
  for (const auto& [name, texts] : calls) {
    for (const auto& failure : failures) {
      SCOPED_TRACE(std::string(name) + ": " + failure.name);
      EXPECT_EQ(DataOf(Envelope(name, texts, failure.reply), "FAIL"), failure.message);
    }
  }
}

TEST_F(PassThroughTest, AJsonParameterThatIsNoObjectFailsBeforeAnyRequest) {
  const std::u16string texts[] = {u"",       u"[]",   u"[{}]",    u"5",
                                  u"\"{}\"", u"null", u"{\"a\":", u"{} {}"};
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(Utf16ToUtf8(text));
    peer_.Enqueue(SessionAccepted());
    EXPECT_EQ(DataOf(host_.Text("User_Add", {text}), "FAIL"), "Type mismatch");
    peer_.Enqueue(SessionAccepted());
    EXPECT_EQ(DataOf(host_.Text("Person_Modify", {u"s1", u"p1", text}), "FAIL"), "Type mismatch");
  }
  NewRequests();  // the session checks
  peer_.Enqueue(SessionAccepted());
  peer_.Enqueue(Reply("{}"));
  EXPECT_EQ(DataOf(host_.Text("User_Add", {u" {} "}), "SUCCESS"), "{}");
  EXPECT_EQ(AfterTheSessionCheck().at(0).Body(), "{}");
}

// Ids and filter values travel percent-encoded, each as one segment or query value, empty
// ones included; "name" values keep their form encoding.
TEST_F(PassThroughTest, PutsEachValueIntoItsOwnPlaceOfThePath) {
  const struct {
    const char* name;
    std::vector<std::u16string> texts;
    const char* target;
  } cases[] = {
      {"Person_Get", {u"", u""}, "/person//"},
      {"Person_GetEnterList",
       {u"", u"", u"", u""},
       "/persons//enter?personId=&searchFrom=&searchTo="},
      {"Issue_GetList", {u"s1", u"", u""}, "/issues/s1/?name="},
      {"File_GetLogList",
       {u"s1", u"", u"", u"", u"", u""},
       "/files/s1/log?personId=&fileId=&action=&searchFrom=&searchTo="},
      {"Person_Get", {u"a/b?c", u".."}, "/person/a%2Fb%3Fc/%2E%2E"},
      {"Issue_Get", {u"."}, "/issue/%2E"},
      {"User_Get", {u"x#y z\r\nHost: elsewhere"}, "/user/x%23y%20z%0D%0AHost%3A%20elsewhere"},
      {"Person_GetList", {u"s 1", u"Lee Kim&가/."}, "/persons/s%201?name=Lee+Kim%26%EA%B0%80%2F."},
      {"Billing_GetList",
       {u"s1", u"p&1", u"M=N", u"2024-01-01 00:00", u".."},
       "/billing/s1?personId=p%261&classCd=M%3DN&searchFrom=2024-01-01%2000%3A00&searchTo=.."},
  };
  for (const auto& c : cases) {
    DataOf(Envelope(c.name, c.texts, Reply("[]")), "SUCCESS");
    EXPECT_EQ(AfterTheSessionCheck().at(0).Target(), c.target);
  }
}

TEST_F(PassThroughTest, ComposesTheGateAddressWithoutLogInOrNetwork) {
  const std::pair<std::u16string, std::string> ids[] = {
      {u"o1", "o1"}, {u"", ""}, {u"a/b", "a%2Fb"}, {u"..", "%2E%2E"}, {u"가 ?", "%EA%B0%80%20%3F"}};
  for (const auto& [id, segment] : ids) {
    EXPECT_EQ(Utf16ToUtf8(host_.Text("Portal_GetPortalUrl", {id})), GateAddress(segment));
  }
  host_.Init(u"", u"", u"");
  EXPECT_EQ(host_.Text("Portal_GetPortalUrl", {u"o1"}), u"/portal/o1/gate");
  EXPECT_TRUE(NewRequests().empty());
  EXPECT_EQ(peer_.Connections(), 1) << "only the log-in of SetUp";
}

TEST_F(PassThroughTest, UploadsALogoWithItsNameAndNoIdPart) {
  const fs::path logo = folder_ / "velto logo.png";
  std::ofstream(logo, std::ios::binary) << std::string("\x89PNG\0", 5);
  DataOf(Envelope("Site_SetLogo", {u"s 1", logo.u16string()}, Reply("{}")), "SUCCESS");
  const PeerRequest request = AfterTheSessionCheck().at(0);
  EXPECT_EQ(request.Target(), "/site/s%201/logo");
  EXPECT_EQ(request.Body(),
            FormBody(BoundaryOf(request), {{Part::File, "file", std::string("\x89PNG\0", 5),
                                            "velto logo.png", "image/png"},
                                           {Part::Bare, "file-name", "velto+logo.png"}}));
}

TEST_F(PassThroughTest, FileAddSendsOnlyThreeMembersOfItsArgument) {
  const struct {
    std::u16string argument;
    std::string name, date, end;
  } cases[] = {
      {u"{}", "", "", ""},
      {u"{\"hlscName\":7,\"hlscDate\":null,\"endTime\":true,\"fileName\":\"x\"}", "7", "", ""},
      {u"{\"endTime\":{\"a\":1},\"hlscName\":[\"a\"],\"hlscDate\":\"2024-03-05 10:00\"}", "",
       "2024-03-05+10%3A00", ""},
      {u"{\"endTime\":\"가\",\"hlscName\":1.50}", "1.5", "", "%EA%B0%80"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.argument));
    DataOf(Envelope("File_Add", {u"i1", Scan(), c.argument}, Reply("{}")), "SUCCESS");
    const PeerRequest request = AfterTheSessionCheck().at(0);
    EXPECT_EQ(request.Body(), FormBody(BoundaryOf(request),
                                       {{Part::File, "file", kScanBytes, "scan.png", "image/png"},
                                        {Part::Bare, "file-name", "scan.png"},
                                        {Part::Bare, "hlscName", c.name},
                                        {Part::Bare, "hlscDate", c.date},
                                        {Part::Bare, "endTime", c.end}}));
  }
}

TEST_F(PassThroughTest, FileAddChecksItsArgumentBeforeItOpensTheFile) {
  const std::u16string missing = (folder_ / "missing.png").u16string();
  peer_.Enqueue(SessionAccepted());
  EXPECT_EQ(DataOf(host_.Text("File_Add", {u"i1", missing, u"[]"}), "FAIL"), "Type mismatch");
  peer_.Enqueue(SessionAccepted());
  const std::string cannot_open = DataOf(host_.Text("File_Add", {u"i1", missing, u"{}"}), "FAIL");
  EXPECT_NE(cannot_open, "Type mismatch");
  EXPECT_NE(cannot_open.find("missing.png"), std::string::npos) << cannot_open;
  peer_.Enqueue(SessionAccepted());
  EXPECT_FALSE(DataOf(host_.Text("File_Add", {u"i1", u"", u"{}"}), "FAIL").empty());
  peer_.Enqueue(SessionAccepted());
  EXPECT_FALSE(DataOf(host_.Text("Site_SetLogo", {u"s1", missing}), "FAIL").empty());
  const std::vector<PeerRequest> requests = NewRequests();
  EXPECT_EQ(requests.size(), 4u) << "the session checks only";
}

TEST_F(PassThroughTest, ASessionCheckThatFailsLeavesTheExportWithoutAResult) {
  peer_.Enqueue(PeerReply::Http("HTTP/1.1 502 Bad Gateway"));
  EXPECT_EQ(host_.Call("User_Get", {u"u1"}), std::nullopt);
  EXPECT_EQ(host_.LastError(), u"HTTP/1.1 502 Bad Gateway");
  HostStream stream;
  peer_.Enqueue(PeerReply::Json(R"({"code":"900","message":"down"})"));
  host_.GetData(u"f1", stream.get());
  EXPECT_EQ(host_.LastError(), u"[900] down");
  EXPECT_EQ(NewRequests().size(), 2u) << "no operation after a failed check";
  DataOf(Envelope("User_Get", {u"u1"}, Reply("{}")), "SUCCESS");
  EXPECT_EQ(host_.LastError(), u"") << "cleared by the next call";
}

// A call made while another request runs: the session check is refused at once.
TEST_F(PassThroughTest, AnExportCalledFromAProgressCallbackIsRefused) {
  RecordingEvents events;
  bool called = false;
  std::optional<std::u16string> inner;
  std::u16string inner_error;
  events.on_call = [&](const std::string& call) {
    if (called || !call.starts_with("work ")) return;
    called = true;
    inner = host_.Call("Site_GetList", {});
    inner_error = host_.LastError();
  };
  host_.WorkBegin(&events.com);
  DataOf(Envelope("User_Get", {u"u1"}, Reply("{}")), "SUCCESS");
  host_.WorkEnd();
  EXPECT_TRUE(called);
  EXPECT_EQ(inner, std::nullopt) << "no result stored";
  EXPECT_EQ(inner_error, u"작업 중입니다");
  EXPECT_EQ(host_.LastError(), u"") << "the outer call succeeded";
  EXPECT_EQ(AfterTheSessionCheck().size(), 1u);
}

TEST_F(PassThroughTest, ADownloadLeavesWhatArrivedInTheStream) {
  const std::string envelope = R"({"code":"301","message":"no such file"})";
  const struct {
    std::string name;
    PeerReply reply;
    std::string stored;
    std::string failure;  // empty: none
  } cases[] = {
      {"an error envelope is just bytes", PeerReply::Json(envelope), envelope, ""},
      {"status 404", PeerReply::Http("HTTP/1.1 404 Not Found", envelope), "",
       "HTTP/1.1 404 Not Found"},
      {"cut off after some bytes",
       PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst bytes").Close(),
       "first bytes", "any"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostStream stream;
    peer_.Enqueue(SessionAccepted());
    peer_.Enqueue(c.reply);
    host_.GetData(u"f1", stream.get());
    if (c.failure == "any") {
      EXPECT_NE(host_.LastError(), u"");
      EXPECT_TRUE(c.stored.starts_with(stream.Data())) << "only what arrived: " << stream.Data();
    } else {
      EXPECT_EQ(Utf16ToUtf8(host_.LastError()), c.failure);
      EXPECT_EQ(stream.Data(), c.stored);
    }
  }
}

}  // namespace
}  // namespace velto::test
