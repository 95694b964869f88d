#include <windows.h>

#include <array>
#include <vector>

#include "velto/ini.h"

namespace velto {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

// The profile function itself, so every rule (and the Windows directory for a bare file
// name) is the system's own.
std::u16string ReadIniString(const std::u16string& file, std::u16string_view section,
                             std::u16string_view key) {
  std::array<wchar_t, 2048> value{};
  const DWORD length =
      GetPrivateProfileStringW(Wide(std::u16string(section)), Wide(std::u16string(key)), L"",
                               value.data(), static_cast<DWORD>(value.size()), Wide(file));
  return std::u16string(reinterpret_cast<const char16_t*>(value.data()), length);
}

// With no key name the profile function lists the section's keys, each ended by a NUL; a
// list cut short by the buffer comes back two characters short of its size.
std::vector<std::u16string> ReadIniKeys(const std::u16string& file, std::u16string_view section) {
  std::vector<wchar_t> names(4096);
  DWORD length = 0;
  while (true) {
    length = GetPrivateProfileStringW(Wide(std::u16string(section)), nullptr, L"", names.data(),
                                      static_cast<DWORD>(names.size()), Wide(file));
    if (length + 2 < names.size()) break;
    names.resize(names.size() * 2);
  }
  std::vector<std::u16string> keys;
  for (DWORD at = 0; at < length;) {
    const std::u16string key(reinterpret_cast<const char16_t*>(names.data() + at));
    at += static_cast<DWORD>(key.size()) + 1;
    keys.push_back(key);
  }
  return keys;
}

}  // namespace velto
