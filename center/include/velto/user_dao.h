#pragma once

#include <string_view>
#include <vector>

#include "velto/dao.h"
#include "velto/key.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// Users and their password sessions; each operation is one request.
class TVeltoUserDAO : public TVeltoDAO {
 public:
  static std::vector<TVeltoUser> GetList();
  static void Add(const TVeltoUser& user);
  // Reads the user named by `user.Id`.
  static TVeltoUser Get(const TVeltoUser& user);
  static void Modify(const TVeltoUser& user);
  static void Delete(const TVeltoUser& user);
  // Whether the user's gate answers with success; every failure reads as false.
  static bool Check(std::u16string_view user_id);
  // Logs in with the user's JSON form (password included); the caller stores the key.
  static TVeltoKey Enter(const TVeltoUser& user);
  // Logs out the session of `key.UserId`.
  static void Leave(const TVeltoKey& key);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoUserDAO)
};

}  // namespace velto
