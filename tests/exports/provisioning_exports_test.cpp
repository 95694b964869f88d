// VeltoSiteAdd and VeltoUserAdd against the capturing peer: what exists and matches is
// accepted untouched, what is missing is created, what differs fails with its message.
#include "composite_test_support.h"

namespace velto::test {
namespace {

using ProvisioningTest = CompositeTest;

std::string Failed(std::string_view message) {
  return Lines({"{", R"(  "code": "FAIL",)", R"(  "data": ")" + std::string(message) + "\"", "}"});
}

const std::string kSiteNameDiffers = Failed(R"(\uC0AC\uC774\uD2B8 \uC815\uBCF4\uC640 )"
                                            R"(\uC774\uB984\uC774 \uB2E4\uB985\uB2C8\uB2E4.)");

TEST_F(ProvisioningTest, SiteAddCreatesAMissingSiteAndAcceptsOneOfTheSameName) {
  const struct {
    CompositeCase c;
    const char16_t* name;
  } cases[] = {
      {{"missing: created",
        {Refused("301", "none"), Value("null")},
        {"GET /site/s%2F1", R"(POST /sites {"id": "s\/1","name": "Clinic a"})"},
        Lines({"{", R"(  "code": "SUCCESS")", "}"})},
       u"Clinic a"},
      {{"the same but for ASCII case: nothing written",
        {Value(R"({"name":"cLINIC A"})")},
        {"GET /site/s%2F1"},
        Lines({"{", R"(  "code": "SUCCESS")", "}"})},
       u"Clinic a"},
      {{"both names empty",
        {Value(R"({"name":""})")},
        {"GET /site/s%2F1"},
        Lines({"{", R"(  "code": "SUCCESS")", "}"})},
       u""},
      {{"a trailing space",
        {Value(R"({"name":"Clinic a"})")},
        {"GET /site/s%2F1"},
        kSiteNameDiffers},
       u"Clinic a "},
      {{"case beyond ASCII", {Value(R"({"name":"À"})")}, {"GET /site/s%2F1"}, kSiteNameDiffers},
       u"à"},
      {{"an empty name for a named site",
        {Value(R"({"name":"x"})")},
        {"GET /site/s%2F1"},
        kSiteNameDiffers},
       u""},
      {{"a read refused otherwise",
        {Refused("402", "key")},
        {"GET /site/s%2F1"},
        Failed("[402] key")},
       u"x"},
  };
  for (const auto& c : cases) {
    Expect(c.c, [&](BSTR* result) {
      VeltoSiteAdd(BstrOwner(u"s/1").Get(), BstrOwner(c.name).Get(), result);
    });
  }
}

TEST_F(ProvisioningTest, UserAddMakesSureOfTheUserAndACardAndReturnsTheCardNumber) {
  const char kUserOfA[] = R"({"id":"u1","name":"Kim","roles":"SITE:A","password":""})";
  const struct {
    CompositeCase c;
    const char16_t* name;
    const char16_t* site;
  } cases[] = {
      {{"no site: no site read; user and card created with roles root",
        {Refused("301", "none"), Value("null"), Value("[]"), Value(R"({"id":"c1","userId":"u1"})"),
         Value(R"("0001")")},
        {"GET /user/u1",
         R"(POST /users {"id": "u1","password": "pw","name": "Kim","roles": "root"})",
         "GET /user-cards/u1", R"(POST /user-cards/u1 {"id": "","userId": "u1"})",
         "GET /user-card/c1/number"},
        Lines({"{", R"(  "code": "SUCCESS",)", R"(  "data": "0001")", "}"})},
       u"Kim",
       u""},
      {{"an existing user of site a (stored as SITE:A) with cards: the first card's number",
        {Value("{}"), Value(kUserOfA), Value(R"([{"id":"c2"},{"id":"c3"}])"), Value("77")},
        {"GET /site/a", "GET /user/u1", "GET /user-cards/u1", "GET /user-card/c2/number"},
        Lines({"{", R"(  "code": "SUCCESS",)", R"(  "data": "77")", "}"})},
       u"KIM",
       u"a"},
      {{"an unknown site: before any user request",
        {Refused("301", "none")},
        {"GET /site/b"},
        Failed("Site is not exist.")},
       u"Kim",
       u"b"},
      {{"a name that differs",
        {Value("{}"), Value(kUserOfA)},
        {"GET /site/a", "GET /user/u1"},
        Failed(R"(\uAE30\uC874 \uC0AC\uC6A9\uC790 \uC815\uBCF4\uC640 )"
               R"(\uC774\uB984\uC774 \uB2E4\uB985\uB2C8\uB2E4.)")},
       u"Lee",
       u"a"},
      {{"a site that differs",
        {Value("{}"), Value(kUserOfA)},
        {"GET /site/b", "GET /user/u1"},
        Failed(R"(\uAE30\uC874 \uC0AC\uC6A9\uC790 \uC815\uBCF4\uC640 )"
               R"(\uC0AC\uC774\uD2B8\uAC00 \uB2E4\uB985\uB2C8\uB2E4.)")},
       u"Kim",
       u"b"},
      {{"a card step that fails leaves the created user",
        {Refused("301", "none"), Value("null"), Refused("500", "db")},
        {"GET /user/u1",
         R"(POST /users {"id": "u1","password": "pw","name": "Kim","roles": "root"})",
         "GET /user-cards/u1"},
        Failed("[500] db")},
       u"Kim",
       u""},
  };
  for (const auto& c : cases) {
    Expect(c.c, [&](BSTR* result) {
      VeltoUserAdd(BstrOwner(u"u1").Get(), BstrOwner(c.name).Get(), BstrOwner(u"pw").Get(),
                   BstrOwner(c.site).Get(), result);
    });
  }
}

}  // namespace
}  // namespace velto::test
