#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "velto_box.h"

namespace velto {

// Platform primitives: a new BSTR holding `text` (never null), its release (null is
// allowed) and its length in code units (0 for null).
BSTR AllocBstr(std::u16string_view text);
void FreeBstr(BSTR text);
uint32_t BstrLength(BSTR text);

// The text of a BSTR argument; a null BSTR is the empty text.
std::u16string FromBstr(BSTR text);

// Raises an Exception for a null result variable.
void RequireVariable(BSTR* variable);

// Frees what `variable` holds (when not null) and stores a new BSTR holding `text`. A null
// `variable` raises an Exception.
void StoreBstr(BSTR* variable, std::u16string_view text);

// Owns one BSTR and frees it when it goes.
class BstrOwner {
 public:
  BstrOwner() = default;
  explicit BstrOwner(std::u16string_view text) : text_(AllocBstr(text)) {}
  BstrOwner(const BstrOwner&) = delete;
  BstrOwner& operator=(const BstrOwner&) = delete;
  ~BstrOwner() { FreeBstr(text_); }

  BSTR Get() const { return text_; }
  // The address of the owned variable, for an export that stores into it.
  BSTR* Out() { return &text_; }
  std::u16string Text() const { return FromBstr(text_); }

 private:
  BSTR text_ = nullptr;
};

}  // namespace velto
