#include "velto/ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_path.h"
#include "velto/unicode.h"

namespace velto {
namespace {

namespace fs = std::filesystem;

class IniFile : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove(path_); }

  std::u16string Write(std::string_view bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
    return Utf8ToUtf16(path_.string());
  }

  fs::path path_ = test::ScratchPath("ini", ".ini");
};

TEST_F(IniFile, ReadsByTheProfileRules) {
  const std::u16string file = Write(
      "; settings\r\n"
      "[Other]\r\nRoot=wrong\r\n"
      "[gLoBaL]\r\n"
      "  Root =  http://h:1/x  \r\n"
      "UserCardNumber=\"  1234  \"\r\n"
      "SiteId='site'\r\n"
      "Mixed=\"a'\r\n"
      "Inner=a \"b\" c\r\n"
      "Empty=\r\n"
      "root=second\r\n"
      "[Global]\r\nLater=ignored\r\n");
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;
  } cases[] = {
      {u"Global", u"Root", u"http://h:1/x"},        // names without case, spaces dropped
      {u"GLOBAL", u"root", u"http://h:1/x"},        // the first key of the name wins
      {u"Global", u"UserCardNumber", u"  1234  "},  // quotes removed, inner spaces kept
      {u"Global", u"SiteId", u"site"},
      {u"Global", u"Mixed", u"\"a'"},  // quotes that do not match stay
      {u"Global", u"Inner", u"a \"b\" c"},
      {u"Global", u"Empty", u""},
      {u"Global", u"Missing", u""},
      {u"Global", u"Later", u""},  // only the first section of the name is read
      {u"Nowhere", u"Root", u""},
      {u"Other", u"Root", u"wrong"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadIniString(file, c.section, c.key), c.value)
        << Utf16ToUtf8(c.section) << "." << Utf16ToUtf8(c.key);
  }
}

TEST_F(IniFile, ListsTheKeysOfTheFirstSectionOfTheName) {
  const std::u16string file = Write(
      "[Other]\r\nElsewhere=1\r\n"
      "[global]\r\n  Root = x\r\nno equals sign\r\nEmpty=\r\nUserCardNumbr=1\r\n"
      "[Global]\r\nLater=ignored\r\n");
  EXPECT_EQ(ReadIniKeys(file, u"Global"),
            (std::vector<std::u16string>{u"Root", u"Empty", u"UserCardNumbr"}));
  EXPECT_TRUE(ReadIniKeys(file, u"Nowhere").empty());
  EXPECT_TRUE(ReadIniKeys(Utf8ToUtf16((path_.string() + ".missing")), u"Global").empty());
}

TEST_F(IniFile, KeepsAtMost2047Characters) {
  const std::u16string file = Write("[Global]\nRoot=" + std::string(3000, 'r') + "\n");
  EXPECT_EQ(ReadIniString(file, u"Global", u"Root"), std::u16string(2047, u'r'));
}

TEST_F(IniFile, AMissingFileGivesEmptyText) {
  EXPECT_EQ(ReadIniString(u"/no/such/folder/velto.ini", u"Global", u"Root"), u"");
}

#ifndef _WIN32  // the Windows profile functions read the system code page instead
TEST_F(IniFile, ReadsUtf8AndUtf16WithByteOrderMarks) {
  const std::pair<std::string, const char*> encodings[] = {
      {"[Global]\nSiteId=가나\n", "UTF-8"},
      {"\xEF\xBB\xBF[Global]\nSiteId=가나\n", "UTF-8 with BOM"},
      {std::string("\xFF\xFE[\0G\0l\0o\0b\0a\0l\0]\0\n\0S\0i\0t\0e\0I\0d\0=\0\0\xAC\x98\xB0", 38),
       "UTF-16LE"},
      {std::string("\xFE\xFF\0[\0G\0l\0o\0b\0a\0l\0]\0\n\0S\0i\0t\0e\0I\0d\0=\xAC\0\xB0\x98", 38),
       "UTF-16BE"},
  };
  for (const auto& [bytes, name] : encodings) {
    EXPECT_EQ(ReadIniString(Write(bytes), u"Global", u"SiteId"), u"가나") << name;
  }
}

TEST_F(IniFile, FindsAFileNameWithoutAFolderInTheCurrentDirectory) {
  const fs::path previous = fs::current_path();
  Write("[Global]\nSiteId=here\n");
  fs::current_path(path_.parent_path());
  const std::u16string value =
      ReadIniString(Utf8ToUtf16(path_.filename().string()), u"Global", u"SiteId");
  fs::current_path(previous);
  EXPECT_EQ(value, u"here");
}
#endif

}  // namespace
}  // namespace velto
