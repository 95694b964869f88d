#include <windows.h>

#include "velto/system_media_types.h"
#include "velto/unicode.h"

namespace velto {

std::string SystemMediaType(std::string_view extension) {
  // A backslash would name a subkey instead of an extension.
  if (extension.empty() || extension.find('\\') != std::string_view::npos) return {};
  const std::u16string key = u"." + Utf8ToUtf16(extension);
  wchar_t value[256];  // room for any registered media type
  DWORD size = sizeof(value);
  const LSTATUS status =
      RegGetValueW(HKEY_CLASSES_ROOT, reinterpret_cast<const wchar_t*>(key.c_str()),
                   L"Content Type", RRF_RT_REG_SZ, nullptr, value, &size);
  if (status != ERROR_SUCCESS) return {};
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(value));
}

}  // namespace velto
