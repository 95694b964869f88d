#include "velto/media_types.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "velto/unicode.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "velto/mime_types_table.h"
#endif

namespace velto {
namespace {

constexpr const char* kUnknown = "application/octet-stream";

TEST(MediaTypeOf, KnowsCommonTypesInAnyCase) {
  const MediaTypeLookup no_system_table = [](std::string_view) { return std::string(); };
  const std::pair<std::u16string, std::string> cases[] = {
      {u"form.hwp", "application/x-hwp"},
      {u"form.HWPX", "application/x-hwpx"},
      {u"Photo.PNG", "image/png"},
      {u"scan.Jpg", "image/jpeg"},
      {u"report.pdf", "application/pdf"},
      {u"sheet.xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
      {u"data.json", "application/json"},
      {u"backup.tar.GZ", "application/gzip"},  // the last extension counts
      {u"\uACB0\uACFC.mp4", "video/mp4"},
      {u"data.unknownext", kUnknown},
      {u"noextension", kUnknown},
      {u"trailing.", kUnknown},
      {u"", kUnknown},
  };
  for (const auto& [name, type] : cases) {
    EXPECT_EQ(MediaTypeOf(name, no_system_table), type) << Utf16ToUtf8(name);
  }
}

TEST(MediaTypeOf, PrefersTheSystemTable) {
  const std::map<std::string, std::string, std::less<>> system = {
      {"png", "image/x-system-png"},
      {"zz", "application/x-zz"},
      {"pdf", "text/plain\r\nX-Injected: 1"},  // not a media type: passed over
      {"doc", "nothing"},
  };
  std::vector<std::string> asked;
  const MediaTypeLookup lookup = [&](std::string_view extension) {
    asked.emplace_back(extension);
    const auto found = system.find(extension);
    return found == system.end() ? std::string() : found->second;
  };
  EXPECT_EQ(MediaTypeOf(u"a.PNG", lookup), "image/x-system-png");
  EXPECT_EQ(MediaTypeOf(u"b.Zz", lookup), "application/x-zz");
  EXPECT_EQ(MediaTypeOf(u"c.pdf", lookup), "application/pdf");
  EXPECT_EQ(MediaTypeOf(u"d.doc", lookup), "application/msword");
  EXPECT_EQ(MediaTypeOf(u"e.hwp", lookup), "application/x-hwp");
  EXPECT_EQ(MediaTypeOf(u"noextension", lookup), kUnknown);
  EXPECT_EQ(asked, (std::vector<std::string>{"png", "zz", "pdf", "doc", "hwp"}));
}

// Only what every system table agrees on: the machine's own table decides the rest.
TEST(MediaTypeOf, UsesTheSystemTableByDefault) {
  EXPECT_EQ(MediaTypeOf(u"logo.PNG"), "image/png");
  EXPECT_EQ(MediaTypeOf(u"file.velto-unknown-extension"), kUnknown);
  EXPECT_EQ(MediaTypeOf(u"noextension"), kUnknown);
}

#ifdef _WIN32
// The registry key lives only as long as the test.
class RegisteredExtension {
 public:
  RegisteredExtension(const wchar_t* key, const wchar_t* type) : key_(key) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    const auto bytes = static_cast<DWORD>((wcslen(type) + 1) * sizeof(wchar_t));
    created_ = RegSetValueExW(handle, L"Content Type", 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(type), bytes) == ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  ~RegisteredExtension() { RegDeleteKeyW(HKEY_CLASSES_ROOT, key_); }
  bool Created() const { return created_; }

 private:
  const wchar_t* key_;
  bool created_ = false;
};

TEST(MediaTypeOf, ReadsTheRegistry) {
  const RegisteredExtension registered(L".veltotest", L"application/x-velto-test");
  if (!registered.Created()) GTEST_SKIP() << "no right to write HKEY_CLASSES_ROOT";
  EXPECT_EQ(MediaTypeOf(u"a.VeltoTest"), "application/x-velto-test");
  EXPECT_EQ(MediaTypeOf(u"a.veltotest\\..\\.png"), "image/png");  // no subkey lookups
}
#else
TEST(MediaTypeOf, TakesAMimeTypesFileFirst) {
  const MimeTypesTable table("image/x-own-png png\napplication/x-own-hwp HWP\n");
  const MediaTypeLookup lookup = [&](std::string_view extension) { return table.Find(extension); };
  EXPECT_EQ(MediaTypeOf(u"a.PNG", lookup), "image/x-own-png");
  EXPECT_EQ(MediaTypeOf(u"a.hwp", lookup), "application/x-own-hwp");
  EXPECT_EQ(MediaTypeOf(u"a.hwpx", lookup), "application/x-hwpx");
}
#endif

}  // namespace
}  // namespace velto
