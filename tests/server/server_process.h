#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "file_store.h"

namespace velto::test {

using server::TemporaryFolder;

// How velto-server is started besides its flags.
struct Launch {
  std::vector<std::string> wrapper =
      {};                         // a command that runs the server, e.g. in a mount of its own
  std::string error_output = {};  // a file for its standard error; inherited when empty
};

// velto-server run as a child process, as a developer or a script runs it: it is started with
// the given flags plus "--port 0", and the URL is read from its "listening on" line.
class ServerProcess {
 public:
  explicit ServerProcess(std::vector<std::string> flags, Launch launch = {});
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  const std::string& url() const { return url_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  // The "admin card: NUMBER" line's number, when the server printed one.
  const std::string& admin_card() const { return admin_card_; }
  // Everything the server printed to standard output before it listened.
  const std::vector<std::string>& banner() const { return banner_; }
  // A path as the server sees it, which differs from the test's view inside a mount of its own.
  std::filesystem::path SeenByServer(const std::filesystem::path& path) const;

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

// How a run of velto-server that is expected to end by itself ended.
struct Exit {
  int code = -1;  // the exit status; -1 when killed by a signal or at the deadline
  std::string error_output;
};

// Runs velto-server with exactly these arguments and waits for it to end, killing it at the
// deadline.
Exit RunServerToExit(const std::vector<std::string>& args, const Launch& launch = {},
                     std::chrono::seconds deadline = std::chrono::seconds(30));

// A wrapper that gives the server a file system of `size` (e.g. "16m") at `folder`, visible
// only to it, read-only when asked; empty when this machine cannot make one.
std::vector<std::string> PrivateMount(const std::filesystem::path& folder, const std::string& size,
                                      bool read_only = false);

}  // namespace velto::test
