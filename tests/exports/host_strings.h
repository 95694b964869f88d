#pragma once

#include <string>

#include "bstr_text.h"
#include "velto_box.h"

namespace velto::test {

// A BSTR the host made through the library's own allocator, freed when it goes.
class HostString {
 public:
  HostString() = default;
  explicit HostString(std::u16string_view text)
      : text_(VeltoAllocString(reinterpret_cast<const OLECHAR*>(text.data()),
                               static_cast<uint32_t>(text.size()))) {}
  HostString(const HostString&) = delete;
  HostString& operator=(const HostString&) = delete;
  ~HostString() { VeltoFreeString(text_); }

  BSTR Get() const { return text_; }
  BSTR* Out() { return &text_; }
  std::u16string Text() const { return TextOf(text_); }

 private:
  BSTR text_ = nullptr;
};

inline std::u16string LastError() {
  HostString message;
  VeltoLastError(message.Out());
  return message.Text();
}

}  // namespace velto::test
