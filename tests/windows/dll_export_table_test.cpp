// Velto.Box.dll exports exactly the names of the tables of exports, plainly, and nothing
// else: read from the export directory of the loaded DLL itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "velto/export_table.h"

namespace velto::test {
namespace {

std::set<std::string> ExportDirectoryNames(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* directory =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
  std::set<std::string> exported;
  for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
    exported.insert(reinterpret_cast<const char*>(base + names[i]));
  }
  return exported;
}

TEST(DllExportTable, TheDllExportsEveryNameOfTheTablesPlainlyAndNothingElse) {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"Velto.Box.dll";
  const HMODULE module = LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr);
  std::set<std::string> expected;
  for (const std::string_view name : ExportNames()) expected.insert(std::string(name));
  EXPECT_EQ(ExportDirectoryNames(module), expected);
  FreeLibrary(module);
}

}  // namespace
}  // namespace velto::test
