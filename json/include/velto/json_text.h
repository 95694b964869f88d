#pragma once

#include <cstddef>
#include <string_view>

namespace velto {

// The characters of a string, a number or a member name, kept in one block of the document's
// memory. Move-only; an empty text holds no block.
class JSONText {
 public:
  JSONText() = default;
  explicit JSONText(std::u16string_view text);
  JSONText(JSONText&& other) noexcept;
  JSONText& operator=(JSONText&& other) noexcept;
  ~JSONText();
  JSONText(const JSONText&) = delete;
  JSONText& operator=(const JSONText&) = delete;

  std::u16string_view View() const { return {data_, size_}; }
  operator std::u16string_view() const { return View(); }  // NOLINT: reads as text
  friend bool operator==(const JSONText& text, std::u16string_view other) {
    return text.View() == other;
  }

 private:
  char16_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace velto
