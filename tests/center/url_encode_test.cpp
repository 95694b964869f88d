#include "velto/url_encode.h"

#include <gtest/gtest.h>

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
      {u"\U0001F600", u"%EF%BF%BD%EF%BF%BD"},  // each surrogate half on its own
      {u"", u""},
  };
  for (const auto& [value, encoded] : cases) {
    EXPECT_EQ(URLEncode(value), encoded) << Utf16ToUtf8(value);
  }
}

}  // namespace
}  // namespace velto
