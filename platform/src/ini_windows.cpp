#include <windows.h>

#include <array>

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

}  // namespace velto
