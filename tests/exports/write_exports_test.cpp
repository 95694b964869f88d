// VeltoWriteIssue and VeltoWriteIssues against the capturing peer: the person, each issue
// found or created with its end of validity moved only forward, the uploads, one billing
// entry, the portal, and the envelope built on the input document.
#include <filesystem>
#include <fstream>

#include "composite_test_support.h"
#include "scratch_path.h"
#include "velto/json_box.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velto::test {
namespace {

namespace fs = std::filesystem;

constexpr char kPersonS2[] = R"({"siteId":"S2","id":"p1","name":"Kim"})";

// A stored issue or portal of p1 at S2, as a one-element list.
std::string Stored(std::string_view id, std::string_view name, std::string_view end_time) {
  return R"([{"siteId":"S2","personId":"p1","id":")" + std::string(id) + R"(","name":")" +
         std::string(name) + R"(","endTime":")" + std::string(end_time) + R"("}])";
}

// A path as it appears inside JSON text written by the library.
std::string Escaped(const std::string& path) {
  std::string text;
  for (const char c : path) {
    if (c == '\\' || c == '/') text += '\\';
    text += c;
  }
  return text;
}

// "code" and "data" of an envelope.
std::pair<std::string, std::string> CodeAndData(const std::u16string& envelope) {
  TJSONBox box = TJSONBox::Create(JSONObject(envelope));
  JSONRootGuard guard(box);
  return {Utf16ToUtf8(box[u"code"].AsString()), Utf16ToUtf8(box[u"data"].AsString())};
}

// Two local files to upload, a.txt ("abc") and b.txt ("b"), in a folder of the test's own.
class WriteTest : public CompositeTest {
 protected:
  void SetUp() override {
    CompositeTest::SetUp();
    fs::create_directories(folder_);
    std::ofstream(a_, std::ios::binary) << "abc";
    std::ofstream(b_, std::ios::binary) << "b";
  }
  void TearDown() override {
    fs::remove_all(folder_);
    CompositeTest::TearDown();
  }

  // An element of a files array.
  std::string File(const fs::path& path, std::string_view hlsc_name = "",
                   std::string_view hlsc_date = "") const {
    return R"({"fileName":")" + Escaped(path.string()) + R"(","hlscName":")" +
           std::string(hlsc_name) + R"(","hlscDate":")" + std::string(hlsc_date) + R"("})";
  }

  // A files array element as the envelope shows it, its braces indented by `indent`.
  static std::string Shown(const fs::path& path, std::string_view hlsc_name,
                           std::string_view hlsc_date, const std::string& indent) {
    return Lines({indent + "{", indent + R"(  "fileName": ")" + Escaped(path.string()) + "\",",
                  indent + R"(  "hlscName": ")" + std::string(hlsc_name) + "\",",
                  indent + R"(  "hlscDate": ")" + std::string(hlsc_date) + "\"", indent + "}"});
  }

  // Runs an export on `input` and returns the envelope's "code" and "data".
  std::pair<std::string, std::string> Write(decltype(&VeltoWriteIssue) write,
                                            const std::vector<PeerReply>& replies,
                                            const std::string& input,
                                            std::vector<std::string>& sent) {
    BstrOwner result;
    sent = Call(
        replies, [&](BSTR* out) { write(BstrOwner(Utf8ToUtf16(input)).Get(), out); }, result);
    return CodeAndData(result.Text());
  }

  std::string Gate(std::string_view id) const {
    return Escaped(Root() + "/portal/") + std::string(id) + "\\/gate";
  }

  fs::path folder_ = ScratchPath("write");
  fs::path a_ = folder_ / "a.txt";
  fs::path b_ = folder_ / "b.txt";
};

TEST_F(WriteTest, WriteIssueRecordsEachStepAndReturnsTheInputWithCodeAndData) {
  const CompositeCase cases[] = {
      {"an unknown person: everything created; the gate encodes the portal id",
       {Refused("301", "none"), Value("null"), Value("[]"),
        Value(R"({"siteId":"S","personId":"p1","id":"i9","name":"blood","endTime":"2025"})"),
        Value(R"({"id":"f1"})"), Value(R"({"id":"f2"})"), Value("{}"), Value("[]"),
        Value(R"({"siteId":"S","personId":"p1","id":"po/1","name":"main"})")},
       {"GET /person/S/p1",
        R"(POST /persons/S {"siteId": "S","id": "p1","name": "\uAE40","gender": "F",)"
        R"("birth": "1990","phone": "010","consentTime": ""})",
        "GET /issues/S/p1?name=blood",
        R"(POST /issues/S/p1 {"siteId": "S","personId": "p1","id": "","name": "blood",)"
        R"("endTime": "2025"})",
        "POST /files/i9 upload a.txt (abc) %ED%98%88%EC%95%A1 2024-05-01",
        "POST /files/i9 upload b.txt (b)  ",
        R"(POST /billing/S/p1 {"classCd": "result","siteId": "S","personId": "p1",)"
        R"("id": "i9","name": "blood","contents": "\uD608\uC561|b.txt","regTime": "",)"
        R"("billingDate": ""})",
        "GET /portals/S/p1?name=main",
        R"(POST /portals/S/p1 {"siteId": "S","personId": "p1","id": "","name": "main",)"
        R"("endTime": "2025-06-30"})"},
       Lines({"{",
              R"(  "ref": 7,)",
              R"(  "id": "p1",)",
              R"(  "name": "\uAE40",)",
              R"(  "gender": "F",)",
              R"(  "birth": "1990",)",
              R"(  "phone": "010",)",
              R"(  "issue": {)",
              R"(    "name": "blood",)",
              R"(    "endTime": "2025",)",
              R"(    "files": [)",
              Shown(a_, R"(\uD608\uC561)", "2024-05-01", "      ") + ",",
              Shown(b_, "", "", "      "),
              "    ]",
              "  },",
              R"(  "portal": {)",
              R"(    "name": "main",)",
              R"(    "endTime": "2025-06-30")",
              "  },",
              R"(  "code": "SUCCESS",)",
              R"(  "data": ")" + Gate("po%2F1") + R"(")",
              "}"})},
      {"a failing upload: the earlier writes stay; \"code\" and \"data\" replaced in place",
       {Value(kPersonS2), Value(Stored("i1", "blood", "2025-01-01")), Value("null"),
        Value(R"({"id":"f1"})"), Refused("500", "disk full")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=blood",
        R"(PUT /issue/i1 {"siteId": "S2","personId": "p1","id": "i1","name": "blood",)"
        R"("endTime": "2025-02-01"})",
        "POST /files/i1 upload a.txt (abc)  ", "POST /files/i1 upload b.txt (b)  "},
       Lines({"{", R"(  "data": "[500] disk full",)", R"(  "id": "p1",)", R"(  "issue": {)",
              R"(    "name": "blood",)", R"(    "endTime": "2025-02-01",)", R"(    "files": [)",
              Shown(a_, "", "", "      ") + ",", Shown(b_, "", "", "      "), "    ]", "  },",
              R"(  "code": "FAIL")", "}"})},
  };
  const std::string inputs[] = {
      R"({"ref":7,"id":"p1","name":"김","gender":"F","birth":"1990","phone":"010",)"
      R"("issue":{"name":"blood","endTime":"2025","files":[)" +
          File(a_, "혈액", "2024-05-01") + "," + File(b_) +
          R"(]},"portal":{"name":"main","endTime":"2025-06-30"}})",
      R"({"data":"old","id":"p1","issue":{"name":"blood","endTime":"2025-02-01","files":[)" +
          File(a_) + "," + File(b_) + R"(]},"code":0})",
  };
  for (size_t index = 0; index < std::size(cases); ++index) {
    Expect(cases[index], [&](BSTR* result) {
      VeltoWriteIssue(BstrOwner(Utf8ToUtf16(inputs[index])).Get(), result);
    });
  }
}

TEST_F(WriteTest, MovesAnEndOfValidityOnlyForwardInTextOrder) {
  const struct {
    const char* stored;
    const char* asked;
    bool moves;
  } cases[] = {
      {"2024-12-31", "2025-01-01", true},
      {"2025-01-01", "2025-01-01", false},
      {"2025-01-02", "2025-01-01", false},
      {"2024-9-1", "2024-10-01", false},  // text order, not date order
      {"2024", "2024-01", true},          // longer than its prefix
      {"2024-01-01", "", false},          // a missing end never moves one
      // By UTF-16 code unit: U+1F600 (D83D DE00) comes before U+FF01, unlike by code point.
      {"\xEF\xBC\x81", "\xF0\x9F\x98\x80", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " then " + c.asked);
    const std::string end = c.asked[0] ? std::string(R"(,"endTime":")") + c.asked + "\"" : "";
    const std::string input = R"({"id":"p1","issue":{"name":"n","files":[])" + end +
                              R"(},"portal":{"name":"m")" + end + "}}";
    std::vector<PeerReply> replies = {Value(kPersonS2), Value(Stored("i1", "n", c.stored))};
    if (c.moves) replies.push_back(Value("null"));
    replies.push_back(Value("{}"));
    replies.push_back(Value(Stored("po1", "m", c.stored)));
    if (c.moves) replies.push_back(Value("null"));
    std::vector<std::string> sent;
    EXPECT_EQ(Write(VeltoWriteIssue, replies, input, sent),
              std::make_pair(std::string("SUCCESS"), Root() + "/portal/po1/gate"));
    const std::string moved = std::string(R"("endTime": ")") + c.asked + "\"}";
    std::vector<std::string> expected = {"GET /person/S/p1", "GET /issues/S2/p1?name=n"};
    if (c.moves) {
      expected.push_back(R"(PUT /issue/i1 {"siteId": "S2","personId": "p1","id": "i1",)"
                         R"("name": "n",)" +
                         moved);
    }
    // No files: the billing entry is booked all the same, with empty contents.
    expected.push_back(R"(POST /billing/S2/p1 {"classCd": "result","siteId": "S2",)"
                       R"("personId": "p1","id": "i1","name": "n","contents": "",)"
                       R"("regTime": "","billingDate": ""})");
    expected.push_back("GET /portals/S2/p1?name=m");
    if (c.moves) {
      expected.push_back(R"(PUT /portal/po1 {"siteId": "S2","personId": "p1","id": "po1",)"
                         R"("name": "m",)" +
                         moved);
    }
    EXPECT_EQ(sent, expected);
  }
}

TEST_F(WriteTest, WriteIssueStopsAtTheStepThatFails) {
  const std::string person = R"("id":"p1","name":"Lee")";
  const struct {
    std::string name;
    std::string input;
    std::vector<PeerReply> replies;
    std::vector<std::string> sent;
    std::string message;
  } cases[] = {
      {"no \"issue\": after the person step, whose creation stays",
       "{" + person + "}",
       {Refused("301", "none"), Value("null")},
       {"GET /person/S/p1",
        R"(POST /persons/S {"siteId": "S","id": "p1","name": "Lee","gender": "",)"
        R"("birth": "","phone": "","consentTime": ""})"},
       "Path was not found"},
      {"\"issue.files\" missing: after the issue step",
       "{" + person + R"(,"issue":{"name":"n"}})",
       {Value(kPersonS2), Value(Stored("i1", "n", ""))},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=n"},
       "Type mismatch"},
      {"a file element that is no object",
       "{" + person + R"(,"issue":{"name":"n","files":["a.txt"]}})",
       {Value(kPersonS2), Value(Stored("i1", "n", ""))},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=n"},
       "Type mismatch"},
      {"no \"portal\": after the billing entry",
       "{" + person + R"(,"issue":{"name":"n","files":[]}})",
       {Value(kPersonS2), Value(Stored("i1", "n", "")), Value("{}")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=n",
        R"(POST /billing/S2/p1 {"classCd": "result","siteId": "S2","personId": "p1",)"
        R"("id": "i1","name": "n","contents": "","regTime": "","billingDate": ""})"},
       "Path was not found"},
      {"a person read refused otherwise than with 301",
       "{" + person + "}",
       {Refused("402", "key")},
       {"GET /person/S/p1"},
       "[402] key"},
      {"a portal list that fails",
       "{" + person + R"(,"issue":{"name":"n","files":[]},"portal":{"name":"m"}})",
       {Value(kPersonS2), Value(Stored("i1", "n", "")), Value("{}"), Refused("500", "db")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=n",
        R"(POST /billing/S2/p1 {"classCd": "result","siteId": "S2","personId": "p1",)"
        R"("id": "i1","name": "n","contents": "","regTime": "","billingDate": ""})",
        "GET /portals/S2/p1?name=m"},
       "[500] db"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> sent;
    EXPECT_EQ(Write(VeltoWriteIssue, c.replies, c.input, sent),
              std::make_pair(std::string("FAIL"), c.message));
    EXPECT_EQ(sent, c.sent);
  }
}

TEST_F(WriteTest, AFileThatCannotBeOpenedFailsBeforeItsUpload) {
  const std::string input = R"({"id":"p1","issue":{"name":"n","files":[)" + File(a_) + "," +
                            File(folder_ / "missing.txt") + "]}}";
  std::vector<std::string> sent;
  const auto [code, data] =
      Write(VeltoWriteIssue,
            {Value(kPersonS2), Value(Stored("i1", "n", "")), Value(R"({"id":"f1"})")}, input, sent);
  EXPECT_EQ(code, "FAIL");
  EXPECT_NE(data.find("missing.txt"), std::string::npos) << data;
  EXPECT_EQ(sent, (std::vector<std::string>{"GET /person/S/p1", "GET /issues/S2/p1?name=n",
                                            "POST /files/i1 upload a.txt (abc)  "}));
}

TEST_F(WriteTest, WriteIssuesWritesEachElementThenOneBillingEntryForTheLast) {
  const std::string input =
      R"({"id":"p1","issue":{"name":"ignored"},"issues":[{"name":"blood","endTime":"2025-01-01",)"
      R"("files":[)" +
      File(a_, "A") + R"(]},{"name":"blood","endTime":"2025-03-01","files":[)" + File(b_) +
      R"(]}],"portal":{"name":"main","endTime":"2025-06-30"}})";
  Expect(
      {"two elements of one name: the second finds the first's issue and moves its end",
       {Value(kPersonS2), Value("[]"),
        Value(R"({"siteId":"S2","personId":"p1","id":"i1","name":"blood","endTime":"2025-01-01"})"),
        Value("{}"), Value(Stored("i1", "blood", "2025-01-01")), Value("null"), Value("{}"),
        Value("{}"), Value(Stored("po1", "main", "2026"))},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=blood",
        R"(POST /issues/S2/p1 {"siteId": "S2","personId": "p1","id": "","name": "blood",)"
        R"("endTime": "2025-01-01"})",
        "POST /files/i1 upload a.txt (abc) A ", "GET /issues/S2/p1?name=blood",
        R"(PUT /issue/i1 {"siteId": "S2","personId": "p1","id": "i1","name": "blood",)"
        R"("endTime": "2025-03-01"})",
        "POST /files/i1 upload b.txt (b)  ",
        R"(POST /billing/S2/p1 {"classCd": "result","siteId": "S2","personId": "p1",)"
        R"("id": "i1","name": "blood","contents": "b.txt","regTime": "","billingDate": ""})",
        "GET /portals/S2/p1?name=main"},
       Lines({"{",
              R"(  "id": "p1",)",
              R"(  "issue": {)",
              R"(    "name": "ignored")",
              "  },",
              R"(  "issues": [)",
              "    {",
              R"(      "name": "blood",)",
              R"(      "endTime": "2025-01-01",)",
              R"(      "files": [)",
              Shown(a_, "A", "", "        "),
              "      ]",
              "    },",
              "    {",
              R"(      "name": "blood",)",
              R"(      "endTime": "2025-03-01",)",
              R"(      "files": [)",
              Shown(b_, "", "", "        "),
              "      ]",
              "    }",
              "  ],",
              R"(  "portal": {)",
              R"(    "name": "main",)",
              R"(    "endTime": "2025-06-30")",
              "  },",
              R"(  "code": "SUCCESS",)",
              R"(  "data": ")" + Gate("po1") + R"(")",
              "}"})},
      [&](BSTR* result) { VeltoWriteIssues(BstrOwner(Utf8ToUtf16(input)).Get(), result); });
}

TEST_F(WriteTest, WriteIssuesWithAnEmptyListFailsAfterThePersonAndWritesNothingElse) {
  Expect({"",
          {Refused("301", "none"), Value("null")},
          {"GET /person/S/p1",
           R"(POST /persons/S {"siteId": "S","id": "p1","name": "","gender": "","birth": "",)"
           R"("phone": "","consentTime": ""})"},
          Lines({"{", R"(  "id": "p1",)", R"(  "issues": [],)", R"(  "portal": {)",
                 R"(    "name": "m")", "  },", R"(  "code": "FAIL",)",
                 R"(  "data": "Type mismatch")", "}"})},
         [](BSTR* result) {
           VeltoWriteIssues(BstrOwner(uR"({"id":"p1","issues":[],"portal":{"name":"m"}})").Get(),
                            result);
         });
}

TEST_F(WriteTest, WriteIssuesStopsAtTheElementThatFails) {
  const struct {
    std::string name;
    std::string issues;
    std::vector<PeerReply> replies;
    std::vector<std::string> sent;
  } cases[] = {
      {"no \"issues\"", "", {Value(kPersonS2)}, {"GET /person/S/p1"}},
      {"an element that is no object: before its lookup",
       R"(,"issues":[{"name":"a","files":[]},7])",
       {Value(kPersonS2), Value(Stored("i1", "a", ""))},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=a"}},
      {"an element without \"files\": after its lookup",
       R"(,"issues":[{"name":"a","files":[]},{"name":"b"}])",
       {Value(kPersonS2), Value(Stored("i1", "a", "")), Value(Stored("i2", "b", ""))},
       {"GET /person/S/p1", "GET /issues/S2/p1?name=a", "GET /issues/S2/p1?name=b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> sent;
    EXPECT_EQ(Write(VeltoWriteIssues, c.replies, R"({"id":"p1")" + c.issues + "}", sent),
              std::make_pair(std::string("FAIL"), std::string("Type mismatch")));
    EXPECT_EQ(sent, c.sent);
  }
}

#ifdef _WIN32
// The raise of a failure that leaves an export, continued so that the export returns.
LONG CALLBACK ContinueVeltoRaise(EXCEPTION_POINTERS* pointers) {
  return pointers->ExceptionRecord->ExceptionCode == VELTO_EXCEPTION_CODE
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}
#endif

TEST_F(WriteTest, InputThatIsNoObjectLeavesTheExportAfterThePrologue) {
#ifdef _WIN32
  const PVOID handler = AddVectoredExceptionHandler(1, ContinueVeltoRaise);
#endif
  for (const auto write : {VeltoWriteIssue, VeltoWriteIssues}) {
    for (const char16_t* input : {u"", u"[]", u"\"x\"", u"{\"id\":", u"{} {}"}) {
      SCOPED_TRACE(Utf16ToUtf8(input));
      BstrOwner result(u"untouched");
      EXPECT_EQ(Call(
                    {}, [&](BSTR* out) { write(BstrOwner(input).Get(), out); }, result),
                std::vector<std::string>{});
      EXPECT_EQ(result.Text(), u"untouched");
      EXPECT_EQ(LastHostFailure(), u"Type mismatch");
    }
  }
#ifdef _WIN32
  RemoveVectoredExceptionHandler(handler);
#endif
}

}  // namespace
}  // namespace velto::test
