#include "velto/charset.h"

#include <gtest/gtest.h>

#include "velto/unicode.h"

namespace velto {
namespace {

TEST(DecodeCharset, DecodesByTheNamedCharacterSet) {
  struct Case {
    std::string bytes;
    const char* charset;
    std::u16string text;
  } cases[] = {
      {"\xEA\xB0\x80", "", u"가"},               // none named: UTF-8
      {"\xEA\xB0\x80", "UTF-8", u"가"},          // any case
      {"\xEA\xB0\x80", "x-unknown-set", u"가"},  // unknown: UTF-8
      {"caf\xE9", "ISO-8859-1", u"café"},
      {"\xB0\xA1\xB3\xAA", "euc-kr", u"가나"},
      {"\xB0\xA1\xB3\xAA", "EUC-KR", u"가나"},
      {"\x81\x41", "cp949", u"갂"},             // an extended syllable of the Korean code page
      {"\xB0\xA1\xFF", "euc-kr", u"가\uFFFD"},  // undecodable bytes do not stop the rest
      {"ab\xFF", "utf-8", u"ab\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeCharset(c.bytes, c.charset), c.text) << c.charset;
  }
}

}  // namespace
}  // namespace velto
