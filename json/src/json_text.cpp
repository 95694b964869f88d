#include "velto/json_text.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "velto/json_blocks.h"

namespace velto {

static_assert(sizeof(char16_t*) <= sizeof(char16_t) * JSONText::kLocal);

namespace {

char16_t* BlockOf(const char16_t* units) {
  char16_t* block = nullptr;
  std::memcpy(&block, units, sizeof block);
  return block;
}

}  // namespace

JSONText::JSONText(std::u16string_view text) {
  if (text.size() > UINT32_MAX) throw std::length_error("member name too long");
  size_ = static_cast<uint32_t>(text.size());
  if (IsLocal()) {
    std::copy(text.begin(), text.end(), units_);
    return;
  }
  auto* block = static_cast<char16_t*>(AllocateBlock(text.size() * sizeof(char16_t)));
  std::copy(text.begin(), text.end(), block);
  std::memcpy(units_, &block, sizeof block);
}

JSONText::JSONText(JSONText&& other) noexcept : size_(std::exchange(other.size_, 0)) {
  std::copy(std::begin(other.units_), std::end(other.units_), units_);
}

JSONText& JSONText::operator=(JSONText&& other) noexcept {
  if (this == &other) return *this;
  if (!IsLocal()) FreeBlock(BlockOf(units_));
  std::copy(std::begin(other.units_), std::end(other.units_), units_);
  size_ = std::exchange(other.size_, 0);
  return *this;
}

JSONText::~JSONText() {
  if (!IsLocal()) FreeBlock(BlockOf(units_));
}

const char16_t* JSONText::Data() const {
  return IsLocal() ? units_ : BlockOf(units_);
}

}  // namespace velto
