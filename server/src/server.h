#pragma once

#include <memory>
#include <optional>
#include <string>

#include "database.h"
#include "disk_reserve.h"
#include "file_store.h"
#include "http_listener.h"
#include "login_throttle.h"
#include "message_sender.h"
#include "options.h"
#include "router.h"
#include "services.h"
#include "session_sweeper.h"
#include "sessions.h"

namespace velto::server {

// The whole server: storage, sessions and the routes on one HTTP(S) listener.
class VeltoServer {
 public:
  // Throws, saying why, when the database, the files folder or the certificate is unusable.
  explicit VeltoServer(const Options& options);

  // The root card's number when this start created it.
  const std::optional<std::string>& new_admin_card() const { return new_admin_card_; }
  // Binds the listening socket (port 0: any free port); from then on connections queue.
  // Returns the bound port.
  int Bind();
  // "http://HOST:PORT" or "https://HOST:PORT".
  std::string Url() const;
  // Serves until Stop(); false when the listener failed.
  bool Serve();
  // Safe from any thread.
  void Stop();

 private:
  Options options_;
  std::optional<TemporaryFolder> temporary_files_;
  Database db_;
  FileStore files_;
  DiskReserve reserve_;
  SessionStore sessions_;
  SessionSweeper sweeper_;
  RecordingSender sender_;
  LoginThrottle throttle_;
  Services services_;
  Router router_;
  HttpListener http_;
  std::optional<std::string> new_admin_card_;
  int port_ = 0;
};

}  // namespace velto::server
