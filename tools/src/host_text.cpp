#include "host_text.h"

#include <cstdint>
#include <cstring>

#include "velto/unicode.h"

namespace velto::cli {

HostText::HostText(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  text_ = VeltoAllocString(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<uint32_t>(text.size()));
}

HostText::HostText(HostText&& other) noexcept : text_(other.text_) {
  other.text_ = nullptr;
}

HostText::~HostText() {
  VeltoFreeString(text_);
}

std::string HostText::Utf8() const {
  if (text_ == nullptr) return {};
  // The byte length stands in the 32 bits before the characters, on both platforms.
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text_) - sizeof(bytes), sizeof(bytes));
  return Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(text_), bytes / sizeof(char16_t)));
}

std::string LastLibraryError() {
  HostText message;
  VeltoLastError(message.Out());
  return message.Utf8();
}

}  // namespace velto::cli
