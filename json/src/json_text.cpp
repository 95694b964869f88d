#include "velto/json_text.h"

#include <algorithm>
#include <utility>

#include "velto/json_blocks.h"

namespace velto {

JSONText::JSONText(std::u16string_view text) : size_(text.size()) {
  if (text.empty()) return;
  data_ = static_cast<char16_t*>(AllocateBlock(text.size() * sizeof(char16_t)));
  std::copy(text.begin(), text.end(), data_);
}

JSONText::JSONText(JSONText&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

JSONText& JSONText::operator=(JSONText&& other) noexcept {
  JSONText taken(std::move(other));
  std::swap(data_, taken.data_);
  std::swap(size_, taken.size_);
  return *this;
}

JSONText::~JSONText() {
  if (data_) FreeBlock(data_);
}

}  // namespace velto
