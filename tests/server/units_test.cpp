// The server's small pure pieces, with the cases that are awkward to reach over HTTP.
#include <gtest/gtest.h>

#include <ctime>

#include "access.h"
#include "form_text.h"
#include "ids.h"
#include "json_body.h"
#include "password.h"
#include "request_log.h"
#include "time_text.h"
#include "utf8.h"

namespace velto::server {
namespace {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

TEST(FormTextTest, UndoesQuotedPrintableThenUrlEncoding) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"a+b%26c", "a b&c"},
      {"%EA%B0%80", "가"},
      {"x=3Dy", "x=y"},          // quoted-printable "=" (never in URL-encoded text)
      {"%EA%B0=\r\n%80", "가"},  // soft line break inside a value
      {"abc=\n", "abc"},         // soft line break with a bare LF
      {"100%25+sure", "100% sure"},
      {"=ZZ", "=ZZ"},  // not an escape: kept
      {"trailing=", "trailing="},
  };
  for (const auto& [raw, decoded] : cases) {
    EXPECT_EQ(DecodeFormText(raw), decoded) << raw;
  }
}

TEST(FormTextTest, PercentEncodingKeepsOnlyUnreservedCharacters) {
  EXPECT_EQ(PercentEncode("aZ09-._~"), "aZ09-._~");
  EXPECT_EQ(PercentEncode("a b/가"), "a%20b%2F%EA%B0%80");
}

TEST(TimeTextTest, AnEndPassesOnlyAfterItsLastDigitsPeriod) {
  const std::pair<const char*, bool> cases[] = {
      {"", false},
      {"no digits", false},
      {"2000-01-01", true},
      {"2999-12-31", false},
      {"20000101123000", true},
      {"2999", false},
      {"1999", true},
      {"2000-01-01 00:00:00.123 extra 99", true},
  };
  for (const auto& [end, passed] : cases) {
    EXPECT_EQ(HasPassed(end), passed) << end;
  }
  // A day has not passed at any hour of it, only from the next midnight on (local time).
  const std::pair<std::time_t, bool> instants[] = {
      {LocalTime(2024, 12, 31, 0, 0, 0), false},
      {LocalTime(2024, 12, 31, 23, 59, 59), false},
      {LocalTime(2025, 1, 1, 0, 0, 0), true},
  };
  for (const auto& [now, passed] : instants) {
    EXPECT_EQ(HasPassed("2024-12-31", now), passed) << now;
    EXPECT_EQ(HasPassed("2024-12-31 23:59:59", now), passed) << now;
  }
}

TEST(PasswordTest, VerifiesOnlyTheRightPassword) {
  const std::string stored = HashPassword("비밀 password");
  EXPECT_TRUE(VerifyPassword("비밀 password", stored));
  EXPECT_FALSE(VerifyPassword("비밀 passwore", stored));
  EXPECT_FALSE(VerifyPassword("", stored));
  EXPECT_NE(HashPassword("비밀 password"), stored);
  for (const char* malformed : {"", "plain text", "pbkdf2-sha256$0$00$00", "md5$1$00$00",
                                "pbkdf2-sha256$1000$zz$00", "pbkdf2-sha256$1000$00$0011"}) {
    EXPECT_FALSE(VerifyPassword("", malformed)) << malformed;
  }
}

TEST(IdsTest, IdsAndCardNumbersHaveTheirShape) {
  for (int i = 0; i < 100; ++i) {
    const std::string id = NewId();
    EXPECT_EQ(id.size(), 22u);
    EXPECT_EQ(
        id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
        std::string::npos);
    const std::string number = NewCardNumber();
    EXPECT_EQ(number.size(), 16u);
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos);
  }
  EXPECT_NE(NewId(), NewId());
}

TEST(PasswordTest, UnknownUsersAndUsersWithoutPasswordNeverPass) {
  const std::string stored = HashPassword("pw");
  EXPECT_TRUE(VerifyUserPassword("pw", &stored));
  const std::string none;
  for (const std::string* user : {static_cast<const std::string*>(nullptr), &none}) {
    EXPECT_FALSE(VerifyUserPassword("", user));
    EXPECT_FALSE(VerifyUserPassword("pw", user));
  }
}

std::string Nested(int depth, const std::string& inner) {
  return std::string(depth, '[') + inner + std::string(depth, ']');
}

TEST(JsonBodyTest, ReadsMembersAsText) {
  const Fields fields =
      ParseObject(R"({"s":"가\n","n":-1.5e3,"t":true,"z":null,"o":{"a":[1,"x",{}]},"s":"last"})");
  EXPECT_EQ(
      fields,
      (Fields{{"s", "last"}, {"n", "-1.5e3"}, {"t", ""}, {"z", ""}, {"o", R"({"a":[1,"x",{}]})"}}));
  EXPECT_EQ(ParseObject("{\"v\":" + Nested(510, "") + "}").at("v"), Nested(510, ""));
}

TEST(JsonBodyTest, RefusesWhatIsNoUsableObject) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "empty"},
      {"[]", "not a JSON object"},
      {"\"x\"", "not a JSON object"},
      {"{} {}", "followed by other values"},
      {std::string("{}\0{}", 5), "NUL"},
      {"{\"v\":" + Nested(512, "") + "}", "nested deeper than 512"},
      {"{\"v\":" + Nested(200000, "") + "}", "nested deeper than 512"},
      {std::string(100000, '['), "not a JSON object"},
      {"{\"v\":\"\xff\"}", "not UTF-8"},
      {"{\"v\":\"\xc0\xaf\"}", "not UTF-8"},      // an overlong "/"
      {"{\"v\":\"\xed\xa0\x80\"}", "not UTF-8"},  // a surrogate, raw
      {R"({"v":"\udc00"})", "not UTF-8"},         // a lone low surrogate, escaped
      {"{\"\xff\":1}", "not UTF-8"},
      {"{\"id\":\"" + std::string(257, 'x') + "\"}", "longer than 256"},
      {"{\"personId\":\"" + std::string(257, 'x') + "\"}", "longer than 256"},
  };
  for (const auto& [body, why] : cases) {
    SCOPED_TRACE(body.substr(0, 40));
    try {
      ParseObject(body);
      ADD_FAILURE() << "accepted";
    } catch (const ReplyError& error) {
      EXPECT_EQ(error.code(), ReplyCode::kBadRequest);
      EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
    }
  }
  // Ids count characters, not bytes; other members are not ids.
  EXPECT_NO_THROW(ParseObject("{\"id\":\"" + std::string(256, 'x') + "\"}"));
  std::string korean;
  for (int i = 0; i < 256; ++i) korean += "가";
  EXPECT_NO_THROW(
      ParseObject("{\"id\":\"" + korean + "\",\"name\":\"" + std::string(1000, 'x') + "\"}"));
}

TEST(Utf8Test, AcceptsOnlyWellFormedText) {
  const std::string good[] = {"", "plain", "가나다", "\xf0\x9f\x98\x80", std::string(1, '\0')};
  for (const std::string& text : good) EXPECT_TRUE(IsUtf8(text)) << text;
  const std::string bad[] = {"\x80", "\xea\xb0", "\xf4\x90\x80\x80", "\xe0\x80\xaf", "a\xff"};
  for (const std::string& text : bad) EXPECT_FALSE(IsUtf8(text)) << text;
}

TEST(AccessTest, AdministratorsAreRootOrAdminAmongTheRoles) {
  for (const char* roles : {"root", "admin", "ROOT", "site:S, admin", "x;root", " admin "}) {
    EXPECT_TRUE(IsAdministrator(roles)) << roles;
  }
  for (const char* roles : {"", "site:S", "rooty", "administrator", "site:root", "nurse"}) {
    EXPECT_FALSE(IsAdministrator(roles)) << roles;
  }
}

TEST(AccessTest, SiteRolesNameTheirSiteExactly) {
  using Sites = std::vector<std::string>;
  const std::pair<const char*, Sites> cases[] = {
      {"site:S1", {"S1"}},
      {"SITE:S1,site:s2; Site:S3\tadmin", {"S1", "s2", "S3"}},
      {"site:", {}},
      {"site", {}},
      {"nurse site-S1 mysite:S1", {}},
      {"site:a:b", {"a:b"}},
  };
  for (const auto& [roles, sites] : cases) EXPECT_EQ(SitesOf(roles), sites) << roles;
}

TEST(RequestLogTest, TargetsKeepTheirPathAndQueryNamesOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"/sites", "/sites"},
      {"/persons/S1?name=%ED%99%8D", "/persons/S1?name="},
      {"/files/S/log?personId=P&fileId=&action=read", "/files/S/log?personId=&fileId=&action="},
      {"/x?flag", "/x?flag="},
      {"/a\r\nb\x01"
       "c",
       "/a%0D%0Ab%01c"},
  };
  for (const auto& [target, logged] : cases) EXPECT_EQ(LoggedTarget(target), logged);
}

}  // namespace
}  // namespace velto::server
