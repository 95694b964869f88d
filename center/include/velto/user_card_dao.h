#pragma once

#include <string_view>

#include "velto/dao.h"
#include "velto/key.h"

namespace velto {

// The card session: each operation is one request to "/user-card/<gate time stamp>/gate".
class TVeltoUserCardDAO : public TVeltoDAO {
 public:
  // Whether the server still accepts the key the "key-id" header carries.
  static bool Check();
  // Logs in with a card number, sent as the whole body; the caller stores the key.
  static TVeltoKey Enter(std::u16string_view number);
  // Logs out the session of the "key-id" header; the key stays as it is.
  static void Leave();
};

}  // namespace velto
