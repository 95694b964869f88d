#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "database.h"
#include "disk_reserve.h"
#include "file_store.h"
#include "login_throttle.h"
#include "message_sender.h"
#include "record_table.h"
#include "sessions.h"

namespace velto::server {

// What the routes share.
struct Services {
  Database& db;
  FileStore& files;
  SessionStore& sessions;
  MessageSender& sender;
  LoginThrottle& throttle;
  DiskReserve& reserve;
  std::uint64_t max_upload;  // bytes of one uploaded file
};

// The members of a request body that the client may set on a record of `kind`.
Fields Pick(const Fields& body, const RecordKind& kind);

// The body's value of `member`, or a new id when it is empty.
std::string IdOrNew(const Fields& body, const char* member);

// Throws "302" when a record matching `where` exists already.
void RequireAbsent(RecordTable& table, const Fields& where);

// Runs a change that frees space (a delete): when the disk is too full to write even that, the
// reserve is given up and the change tried once more. The caller holds the database lock.
void FreeingSpace(Services& services, const std::function<void()>& change);

// Removes stored file bytes once the database change that dropped their records has been
// committed; left uncommitted, the bytes stay.
class DoomedFiles {
 public:
  explicit DoomedFiles(const FileStore& files) : files_(files) {}
  void Add(std::string name) { names_.push_back(std::move(name)); }
  void RemoveAll();

 private:
  const FileStore& files_;
  std::vector<std::string> names_;
};

}  // namespace velto::server
