// The server's small pure pieces, with the cases that are awkward to reach over HTTP.
#include <gtest/gtest.h>

#include "form_text.h"
#include "ids.h"
#include "password.h"
#include "time_text.h"

namespace velto::server {
namespace {

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
  // Today has not passed yet, whatever the hour.
  EXPECT_FALSE(HasPassed(NowText().substr(0, 10)));
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

}  // namespace
}  // namespace velto::server
