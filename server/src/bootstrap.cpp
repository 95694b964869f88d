#include "bootstrap.h"

#include "ids.h"
#include "kinds.h"

namespace velto::server {

std::optional<std::string> Bootstrap(Database& db, const std::string& admin_card) {
  auto lock = db.Lock();
  Transaction transaction(db);
  for (const RecordKind* kind : kinds::All()) RecordTable(db, *kind).CreateSchema();
  // Sessions from before keys were stored as hashes (64 hex digits) can never match a key.
  db.Execute("DELETE FROM sessions WHERE length(id) != 64");
  RecordTable users(db, kinds::kUser);
  if (!users.List({}).empty()) {
    transaction.Commit();
    return std::nullopt;
  }
  const std::string number = admin_card.empty() ? NewCardNumber() : admin_card;
  users.Insert({{"id", kRootUserId}, {"name", kRootUserId}, {"roles", "root"}});
  RecordTable(db, kinds::kUserCard)
      .Insert({{"id", NewId()}, {"userId", kRootUserId}, {"number", number}});
  transaction.Commit();
  return number;
}

}  // namespace velto::server
