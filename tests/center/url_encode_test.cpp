#include "velto/url_encode.h"

#include <gtest/gtest.h>

#include "velto/resource_path.h"
#include "velto/unicode.h"

namespace velto {
namespace {

TEST(URLEncode, EncodesByItsOwnTable) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"a b&c", u"a+b%26c"},
      {u"2025-01-09", u"2025-01-09"},
      {u"a/b", u"a%2Fb"},
      {u"AZaz09!$'()*-.@_", u"AZaz09!$'()*-.@_"},
      {u"~#&+,/:;=?%", u"%7E%23%26%2B%2C%2F%3A%3B%3D%3F%25"},
      {u"\"<>[]\\^`{|}", u"%22%3C%3E%5B%5D%5C%5E%60%7B%7C%7D"},
      {u"\r\n\t", u"%0D%0A%09"},
      {u"가", u"%EA%B0%80"},
      {u"é", u"%C3%A9"},
      // A character beyond U+FFFF is a surrogate pair: its four UTF-8 bytes, as in
      // PercentEncode, so the name or file name reaches the server unchanged; only a
      // half without its partner (either one) stands for U+FFFD.
      {u"\U0001F600.png", u"%F0%9F%98%80.png"},
      {u"a\U0001F600\U0001F601", u"a%F0%9F%98%80%F0%9F%98%81"},
      {std::u16string(1, char16_t{0xD83D}) + u"x", u"%EF%BF%BDx"},
      {std::u16string(1, char16_t{0xDE00}) + u"\U0001F600", u"%EF%BF%BD%F0%9F%98%80"},
      {std::u16string{char16_t{0xDE00}, char16_t{0xD83D}}, u"%EF%BF%BD%EF%BF%BD"},
      {std::u16string(1, char16_t{0xD83D}), u"%EF%BF%BD"},
      {u"", u""},
  };
  for (const auto& [value, encoded] : cases) {
    EXPECT_EQ(URLEncode(value), encoded) << Utf16ToUtf8(value);
  }
}

TEST(PercentEncode, KeepsOnlyTheUnreservedCharacters) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"AZaz09-._~", u"AZaz09-._~"},
      {u"a/b?c#d", u"a%2Fb%3Fc%23d"},
      {u"a b+c", u"a%20b%2Bc"},
      {u"\r\n\t", u"%0D%0A%09"},
      {std::u16string(u"a\0b", 3), u"a%00b"},
      {u"!$'()*@&=;:,%[]\"<>\\^`{|}",
       u"%21%24%27%28%29%2A%40%26%3D%3B%3A%2C%25%5B%5D%22%3C%3E%5C%5E%60%7B%7C%7D"},
      {u"\x7F", u"%7F"},
      {u"가", u"%EA%B0%80"},
      {u"é", u"%C3%A9"},
      {u"\U0001F600", u"%F0%9F%98%80"},                     // a surrogate pair as one character
      {std::u16string(1, char16_t{0xD800}), u"%EF%BF%BD"},  // an unpaired half as U+FFFD
      {u"", u""},
  };
  for (const auto& [value, encoded] : cases) {
    EXPECT_EQ(PercentEncode(value), encoded) << Utf16ToUtf8(value);
  }
}

// Each value fills its place as one path segment or query value and nothing more.
TEST(ResourcePath, EncodesEachValueForItsPlace) {
  const struct {
    std::u16string format;
    std::initializer_list<std::u16string_view> values;
    std::u16string path;
  } cases[] = {
      {u"/user/%s", {u"a/b?c"}, u"/user/a%2Fb%3Fc"},
      {u"/person/%s/%s", {u".", u".."}, u"/person/%2E/%2E%2E"},
      {u"/person/%s/%s", {u"...", u"a.b"}, u"/person/.../a.b"},
      {u"/person/%s/%s", {u"", u""}, u"/person//"},
      {u"/x/%s?a=%s&name=%q", {u"..", u"..", u"a b/."}, u"/x/%2E%2E?a=..&name=a+b%2F."},
      {u"/persons/%s?name=%q", {u"? #", u"? #"}, u"/persons/%3F%20%23?name=%3F+%23"},
      // The placeholder, not the key before it, says how a value is encoded.
      {u"/x?name=%s&a=%q", {u"a b", u"a b"}, u"/x?name=a%20b&a=a+b"},
      {u"/x/%2F%%s", {u"a b"}, u"/x/%2F%a%20b"},
      {u"/file/%s", {u"f1", u"{\"body\":1}"}, u"/file/f1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(ResourcePath(c.format, c.values)), Utf16ToUtf8(c.path))
        << Utf16ToUtf8(c.format);
  }
}

}  // namespace
}  // namespace velto
