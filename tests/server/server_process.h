#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "file_store.h"

namespace velto::test {

using server::TemporaryFolder;

// velto-server run as a child process, as a developer or a script runs it: it is started with
// the given flags plus "--port 0", and the URL is read from its "listening on" line.
class ServerProcess {
 public:
  explicit ServerProcess(std::vector<std::string> flags);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  const std::string& url() const { return url_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  // The "admin card: NUMBER" line's number, when the server printed one.
  const std::string& admin_card() const { return admin_card_; }
  // Everything the server printed to standard output before it listened.
  const std::vector<std::string>& banner() const { return banner_; }

  // Stops it with SIGTERM and returns its exit status (-1 when it did not exit in time).
  int Stop();

 private:
  pid_t pid_ = -1;
  std::string url_;
  std::string host_;
  int port_ = 0;
  std::string admin_card_;
  std::vector<std::string> banner_;
};

}  // namespace velto::test
