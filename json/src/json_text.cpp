#include "velto/json_text.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "json_copy_units.h"
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
    CopyUnits(units_, text.data(), text.size());
    return;
  }
  auto* block = static_cast<char16_t*>(AllocateBlock(text.size() * sizeof(char16_t)));
  CopyUnits(block, text.data(), text.size());
  std::memcpy(units_, &block, sizeof block);
}

JSONText::JSONText(JSONText&& other) noexcept : size_(std::exchange(other.size_, 0)) {
  std::memcpy(units_, other.units_, sizeof units_);
}

JSONText& JSONText::operator=(JSONText&& other) noexcept {
  if (this == &other) return *this;
  if (!IsLocal()) FreeBlock(BlockOf(units_));
  std::memcpy(units_, other.units_, sizeof units_);
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
