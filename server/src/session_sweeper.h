#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "database.h"
#include "sessions.h"

namespace velto::server {

// Removes expired sessions every tenth of the idle time, so that keys nobody presents again
// do not stay in the database; does nothing when keys never expire.
class SessionSweeper {
 public:
  SessionSweeper(Database& db, SessionStore& sessions);
  ~SessionSweeper();
  SessionSweeper(const SessionSweeper&) = delete;
  SessionSweeper& operator=(const SessionSweeper&) = delete;

 private:
  void Run(Database& db, SessionStore& sessions);

  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace velto::server
