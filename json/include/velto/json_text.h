#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velto {

// The characters of a member name. Names of up to kLocal units, nearly all names in practice, are
// kept in place; a longer one has a block of the document's memory. Move-only.
class JSONText {
 public:
  static constexpr std::size_t kLocal = 10;

  JSONText() = default;
  explicit JSONText(std::u16string_view text);
  JSONText(JSONText&& other) noexcept;
  JSONText& operator=(JSONText&& other) noexcept;
  ~JSONText();
  JSONText(const JSONText&) = delete;
  JSONText& operator=(const JSONText&) = delete;

  std::u16string_view View() const { return {Data(), size_}; }
  operator std::u16string_view() const { return View(); }  // NOLINT: reads as text
  friend bool operator==(const JSONText& text, std::u16string_view other) {
    return text.View() == other;
  }

 private:
  bool IsLocal() const { return size_ <= kLocal; }
  const char16_t* Data() const;
  // The local units, or the address of the block in their first bytes.
  char16_t units_[kLocal] = {};
  uint32_t size_ = 0;
};

}  // namespace velto
