#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "velto/dao.h"
#include "velto/key.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// User cards and the card session; each operation is one request.
class TVeltoUserCardDAO : public TVeltoDAO {
 public:
  static std::vector<TVeltoUserCard> GetList(std::u16string_view user_id);
  // Adds a card to `card.UserId`; returns the card as the server made it.
  static TVeltoUserCard Add(const TVeltoUserCard& card);
  static void Delete(const TVeltoUserCard& card);
  // The number of the card `card.Id`, with which one logs in.
  static std::u16string GetNumber(const TVeltoUserCard& card);

  // The session gates: "/user-card/<gate time stamp>/gate".
  // Whether the server still accepts the key the "key-id" header carries.
  static bool Check();
  // Logs in with a card number, sent as the whole body; the caller stores the key.
  static TVeltoKey Enter(std::u16string_view number);
  // Logs out the session of the "key-id" header; the key stays as it is.
  static void Leave();

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoUserCardDAO)
};

}  // namespace velto
