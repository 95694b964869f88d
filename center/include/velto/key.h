#pragma once

#include <string>

#include "velto/json_box.h"

namespace velto {

// The key of a logged-in session, as a gate returns it; Id travels in "key-id".
struct TVeltoKey {
  std::u16string UserId;
  std::u16string Id;
};

// Reads "userId" and "id" of an object as text; a box that holds no object raises
// ETypeMismatch.
TVeltoKey ToKey(const TJSONBox& value);

}  // namespace velto
