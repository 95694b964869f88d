#pragma once

#include "velto/json_box_record.h"
#include "velto/json_variant.h"

namespace velto {

// Builds objects and arrays part by part in the document its box points at; owns nothing.
//   TJSONStream(box) <= JSONPair(u"code", u"SUCCESS") <= JSONPair(u"data", text);
struct TJSONStream {
  TJSONBox Box;

  TJSONStream(const TJSONBox& box) : Box(box) {}  // NOLINT: implicit by design
  operator TJSONBox() const { return Box; }       // NOLINT: implicit by design

  // A pair replaces the value of the first member of its name in the object Box holds, or appends
  // the member; any other value is appended to the array Box holds. Both are copied in. A box that
  // holds no such container raises ETypeMismatch and nothing is written.
  TJSONStream operator<=(const Variant& right) const;
  // Appends a deep copy of right's Content to the array Box holds, as TJSONBox::Push does.
  TJSONStream operator<=(const TJSONBox& right) const;
};

}  // namespace velto
