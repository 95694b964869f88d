#pragma once

#include <string>

namespace velto {

// The key of a logged-in session, as a gate returns it; Id travels in "key-id".
struct TVeltoKey {
  std::u16string UserId;
  std::u16string Id;
};

}  // namespace velto
