#include "session_sweeper.h"

namespace velto::server {

SessionSweeper::SessionSweeper(Database& db, SessionStore& sessions) {
  if (sessions.idle().count() > 0) thread_ = std::thread([&] { Run(db, sessions); });
}

SessionSweeper::~SessionSweeper() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SessionSweeper::Run(Database& db, SessionStore& sessions) {
  const auto period = std::max(sessions.idle() / 10, std::chrono::milliseconds(1));
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, period, [this] { return stopping_; })) {
    lock.unlock();
    {
      auto db_lock = db.Lock();
      sessions.RemoveExpired();
    }
    lock.lock();
  }
}

}  // namespace velto::server
