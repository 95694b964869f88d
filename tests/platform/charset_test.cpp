// The character sets of replies: the same names and the same decoding on Linux (iconv) and
// on Windows (code pages), so the same cases run on both.
#include "velto/charset.h"

#include <gtest/gtest.h>

#include <map>

#include "charset_table.h"
#include "velto/unicode.h"

namespace velto {
namespace {

using namespace std::string_literals;  // bytes with NULs among them

std::string FirstName(const Charset& charset) {
  return std::string(charset.names.substr(0, charset.names.find(' ')));
}

// A sample of every known character set, by its first name.
const std::map<std::string, std::pair<std::string, std::u16string>> kSamples = {
    {"utf-8", {"\xEA\xB0\x80", u"가"}},
    {"utf-16", {"\xFF\xFE\x00\xAC\x41\x00"s, u"가A"}},  // the mark says little-endian
    {"utf-16le", {"\x00\xAC\x41\x00"s, u"가A"}},
    {"utf-16be", {"\xAC\x00\x00\x41"s, u"가A"}},
    {"us-ascii", {"abc", u"abc"}},
    {"iso-8859-1", {"caf\xE9", u"café"}},
    {"iso-8859-2", {"\xB1", u"ą"}},
    {"iso-8859-3", {"\xA1", u"Ħ"}},
    {"iso-8859-4", {"\xA1", u"Ą"}},
    {"iso-8859-5", {"\xB0", u"А"}},
    {"iso-8859-6", {"\xC7", u"ا"}},
    {"iso-8859-7", {"\xE1\xA4", u"α€"}},
    {"iso-8859-8", {"\xE0\xFD", u"א\u200E"}},
    {"iso-8859-9", {"\xFD", u"ı"}},
    {"iso-8859-13", {"\xE0", u"ą"}},
    {"iso-8859-15", {"\xA4", u"€"}},
    {"windows-874", {"\xA1", u"ก"}},
    {"windows-1250", {"\x8A", u"Š"}},
    {"windows-1251", {"\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет"}},
    {"windows-1252", {"\x80", u"€"}},
    {"windows-1253", {"\xC1", u"Α"}},
    {"windows-1254", {"\xF0", u"ğ"}},
    {"windows-1255", {"\xE0\xC7", u"א\u05B7"}},  // the point stays apart
    {"windows-1256", {"\xC7", u"ا"}},
    {"windows-1257", {"\xE0", u"ą"}},
    {"windows-1258", {"a\xEC", u"a\u0301"}},  // the mark stays apart
    {"koi8-r", {"\xF0\xD2\xC9\xD7\xC5\xD4", u"Привет"}},
    {"koi8-u", {"\xA4\xAE", u"є\u255D"}},
    {"ibm866", {"\x8F\xE0\xA8\xA2\xA5\xE2", u"Привет"}},
    {"euc-kr", {"\xB0\xA1\xB3\xAA", u"가나"}},
    {"shift_jis", {"\x82\xA0", u"あ"}},
    {"gb2312", {"\xC4\xE3\xBA\xC3", u"你好"}},
    {"big5", {"\xA7\x41\xA6\x6E", u"你好"}},
};

TEST(DecodeCharset, DecodesASampleOfEveryKnownCharacterSet) {
  for (const Charset& charset : KnownCharsets()) {
    const std::string name = FirstName(charset);
    const auto sample = kSamples.find(name);
    ASSERT_NE(sample, kSamples.end()) << "no sample for " << name;
    EXPECT_EQ(DecodeCharset(sample->second.first, name), sample->second.second) << name;
  }
}

TEST(DecodeCharset, FindsEachSetByAnyOfItsNamesInAnyCase) {
  const struct {
    std::string bytes;
    const char* charset;
    std::u16string text;
  } cases[] = {
      {"\xEA\xB0\x80", "", u"가"},               // none named: UTF-8
      {"\xEA\xB0\x80", "UTF-8", u"가"},          // any case
      {"\xEA\xB0\x80", "x-unknown-set", u"가"},  // unknown: UTF-8
      {"\xB0\xA1\xB3\xAA", "EUC-KR", u"가나"},
      {"\xB0\xA1", "ks_c_5601-1987", u"가"},
      {"\x81\x41", "cp949", u"갂"},  // an extended syllable of the Korean code page
      {"caf\xE9", "Latin1", u"café"},
      {"\xCF\xF0", "CP1251", u"Пр"},
      {"\x82\xA0", "Windows-31J", u"あ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeCharset(c.bytes, c.charset), c.text) << c.charset;
  }
}

TEST(DecodeCharset, DecodesWhatDecodesAndMarksTheRest) {
  const struct {
    std::string bytes;
    const char* charset;
    std::u16string text;
  } cases[] = {
      {"ab\xFF", "utf-8", u"ab\uFFFD"},
      {"\xB0\xA1\xFF", "euc-kr", u"가\uFFFD"},  // the rest still decodes
      {"\xA2\xE8"
       "a",
       "euc-kr", u"\uFFFD\uFFFDa"},         // iconv steps over both bytes at once
      {"\xB0", "euc-kr", u"\uFFFD"},        // cut off
      {"\x81", "windows-1252", u"\u0081"},  // unassigned: the control of its value, as Windows
      {"\xFA\x40", "big5", u"\uFFFD@"},     // user-defined: no private use character
      {"\xE9", "us-ascii", u"\uFFFD"},
      {"\x00\xD8\x41\x00"s, "utf-16le", u"\uFFFDA"},  // a lone surrogate
      {"\x00\x41\x00"s, "utf-16", u"A\uFFFD"},        // no mark: big-endian; an odd byte
      {"\xFE\xFF\x00\x41"s, "utf-16", u"A"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeCharset(c.bytes, c.charset), c.text) << c.charset;
  }
}

// Every single byte, every byte after a letter and, for the two-byte tables, every pair
// decode alike on both platforms: their digest is the same on Linux and under Wine. A
// change of digest on one platform only means the systems' tables part ways again.
TEST(DecodeCharset, DecodesEveryByteAndPairAlikeOnEveryPlatform) {
  const std::map<std::string, uint64_t> expected = {
      {"big5", 0x1242352b6aeaea17ull},         {"euc-kr", 0x697dd33749b03acdull},
      {"gb2312", 0xc5c1210d1688f9a9ull},       {"ibm866", 0x75ac911f0f1643a1ull},
      {"iso-8859-1", 0x884e006ef5e76325ull},   {"iso-8859-13", 0x374f27ceb97aaadbull},
      {"iso-8859-15", 0x2fafd1b1519d820dull},  {"iso-8859-2", 0x64c2ca8d70fc79c7ull},
      {"iso-8859-3", 0x691e4ecd734900abull},   {"iso-8859-4", 0x06a9110e56c9ac95ull},
      {"iso-8859-5", 0xe645eca20b87dcddull},   {"iso-8859-6", 0xda0f2cbf5647ee39ull},
      {"iso-8859-7", 0x3cb035efea67a439ull},   {"iso-8859-8", 0x9d2bf0cbc08489b3ull},
      {"iso-8859-9", 0x431370936a3ae40bull},   {"koi8-r", 0xa877251aba083d11ull},
      {"koi8-u", 0xf742540f0458dfabull},       {"shift_jis", 0x18d53732121bc466ull},
      {"us-ascii", 0xc48583db11504aa5ull},     {"utf-16", 0xc0ff0101e5890d25ull},
      {"utf-16be", 0xc0ff0101e5890d25ull},     {"utf-16le", 0x0e209f3bfe47f2e5ull},
      {"utf-8", 0xc48583db11504aa5ull},        {"windows-1250", 0x93d76ec24d4b4821ull},
      {"windows-1251", 0x62442e0b88e14391ull}, {"windows-1252", 0xf18a0481f98311fdull},
      {"windows-1253", 0xf64b94bcb54e8355ull}, {"windows-1254", 0x592739cc9a61bcc1ull},
      {"windows-1255", 0xd7cdf2d4e3ab4fa9ull}, {"windows-1256", 0xa3854b2bd57050cbull},
      {"windows-1257", 0x3bb14be5e97a04bfull}, {"windows-1258", 0x4782507ae7ac09afull},
      {"windows-874", 0x3894e7693d0c8b89ull},
  };
  std::map<std::string, uint64_t> digests;
  for (const Charset& charset : KnownCharsets()) {
    const std::string name = FirstName(charset);
    uint64_t digest = 14695981039346656037ull;
    const auto add = [&](const std::string& bytes) {
      for (const char16_t unit : DecodeCharset(bytes, name) + u'|') {
        digest = (digest ^ unit) * 1099511628211ull;
      }
    };
    for (int byte = 0; byte < 256; ++byte) {
      add(std::string(1, static_cast<char>(byte)));
      add(std::string{'a', static_cast<char>(byte)});
    }
    const bool two_bytes = charset.code_page == 932 || charset.code_page == 936 ||
                           charset.code_page == 949 || charset.code_page == 950;
    for (int lead = 0x81; two_bytes && lead <= 0xFE; ++lead) {
      for (int trail = 0x30; trail <= 0xFE; ++trail) {
        add(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
    digests[name] = digest;
  }
  EXPECT_EQ(digests, expected);
}

}  // namespace
}  // namespace velto
