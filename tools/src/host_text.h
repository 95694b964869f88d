#pragma once

#include <string>
#include <string_view>

#include "velto_box.h"

namespace velto::cli {

// A text handed to or taken from the library: a BSTR made and freed by the library's own
// allocator, as a host without oleaut32 makes it. UTF-8 on this side.
class HostText {
 public:
  HostText() = default;
  explicit HostText(std::string_view utf8);
  HostText(const HostText&) = delete;
  HostText& operator=(const HostText&) = delete;
  HostText(HostText&& other) noexcept;
  HostText& operator=(HostText&&) = delete;
  ~HostText();

  BSTR Get() const { return text_; }
  BSTR* Out() { return &text_; }
  std::string Utf8() const;

 private:
  BSTR text_ = nullptr;
};

// The message of this thread's last export call that failed without a result; empty when
// it did not fail so.
std::string LastLibraryError();

}  // namespace velto::cli
