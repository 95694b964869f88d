// VeltoRead against the capturing peer: the person, the issue list from the site of the
// person's reply, one file list per issue, and the person document inside the envelope.
#include "composite_test_support.h"

namespace velto::test {
namespace {

using ReadTest = CompositeTest;

constexpr char kPerson[] =
    R"({"siteId":"S2","id":"p1","name":"Kim","gender":"F","birth":"1990","phone":"010",)"
    R"("consentTime":"2024"})";
constexpr char kIssues[] =
    R"([{"siteId":"S2","personId":"p1","id":"i1","name":"blood","endTime":"2025"},)"
    R"({"siteId":"S2","personId":"p1","id":"i2","name":"blood"}])";

TEST_F(ReadTest, ReadsThePersonTheIssuesAndEachIssuesFiles) {
  const CompositeCase cases[] = {
      {"two issues of one name, files with and without a numeric size",
       {Value(kPerson), Value(kIssues),
        Value(R"([{"id":"f1","hlscName":"혈액","hlscDate":"2024","fileName":"a.pdf",)"
              R"("fileSize":2048},{"id":12,"fileName":"b","fileSize":"7"}])"),
        Value("[]")},
       {"GET /person/S/p1",
        "GET /issues/S2/p1?name=", "GET /files/i1?name=", "GET /files/i2?name="},
       Lines({"{", R"(  "code": "SUCCESS",)",
              R"(  "data": "{\r\n  \"id\": \"p1\",\r\n  \"name\": \"Kim\",\r\n)"
              R"(  \"gender\": \"F\",\r\n  \"birth\": \"1990\",\r\n  \"phone\": \"010\",\r\n)"
              R"(  \"issues\": [\r\n    {\r\n      \"id\": \"i1\",\r\n)"
              R"(      \"name\": \"blood\",\r\n      \"files\": [\r\n        {\r\n)"
              R"(          \"id\": \"f1\",\r\n          \"hlscName\": \"\\uD608\\uC561\",\r\n)"
              R"(          \"hlscDate\": \"2024\",\r\n          \"fileName\": \"a.pdf\",\r\n)"
              R"(          \"filesize\": 2048\r\n        },\r\n        {\r\n)"
              R"(          \"id\": \"12\",\r\n          \"hlscName\": \"\",\r\n)"
              R"(          \"hlscDate\": \"\",\r\n          \"fileName\": \"b\",\r\n)"
              R"(          \"filesize\": 0\r\n        }\r\n      ]\r\n    },\r\n)"
              R"(    {\r\n      \"id\": \"i2\",\r\n      \"name\": \"blood\",\r\n)"
              R"(      \"files\": []\r\n    }\r\n  ]\r\n}")",
              "}"})},
      {"no issues; a reply without a site asks with an empty site segment",
       {Value(R"({"id":"p1"})"), Value("[]")},
       {"GET /person/S/p1", "GET /issues//p1?name="},
       Lines({"{", R"(  "code": "SUCCESS",)",
              R"(  "data": "{\r\n  \"id\": \"p1\",\r\n  \"name\": \"\",\r\n)"
              R"(  \"gender\": \"\",\r\n  \"birth\": \"\",\r\n  \"phone\": \"\",\r\n)"
              R"(  \"issues\": []\r\n}")",
              "}"})},
      {"an unknown person",
       {Refused("301", "no person")},
       {"GET /person/S/p1"},
       Lines({"{", R"(  "code": "FAIL",)", R"(  "data": "[301] no person")", "}"})},
      {"a failing file list fails the whole read",
       {Value(kPerson), Value(kIssues), Value("[]"), Refused("500", "disk")},
       {"GET /person/S/p1",
        "GET /issues/S2/p1?name=", "GET /files/i1?name=", "GET /files/i2?name="},
       Lines({"{", R"(  "code": "FAIL",)", R"(  "data": "[500] disk")", "}"})},
      {"an issue list that is no array",
       {Value(kPerson), Value("{}")},
       {"GET /person/S/p1", "GET /issues/S2/p1?name="},
       Lines({"{", R"(  "code": "FAIL",)", R"(  "data": "Type mismatch")", "}"})},
  };
  for (const CompositeCase& c : cases) {
    Expect(c, [](BSTR* result) { VeltoRead(BstrOwner(u"p1").Get(), result); });
  }
}

}  // namespace
}  // namespace velto::test
