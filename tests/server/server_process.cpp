#include "server_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velto::test {
namespace {

constexpr auto kStartLimit = std::chrono::seconds(30);
constexpr auto kStopLimit = std::chrono::seconds(30);

// Reads one line from the pipe, waiting at most until `deadline`.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline) {
  line.clear();
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line += c;
  }
  return false;
}

}  // namespace

ServerProcess::ServerProcess(std::vector<std::string> flags) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  flags.insert(flags.begin(), VELTO_SERVER_PATH);
  flags.push_back("--port");
  flags.push_back("0");
  std::vector<char*> argv;
  for (std::string& flag : flags) argv.push_back(flag.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    throw std::runtime_error("cannot start velto-server");
  }

  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  std::string line;
  while (ReadLine(out[0], line, deadline)) {
    banner_.push_back(line);
    static const std::string kCard = "admin card: ";
    static const std::string kListening = "listening on ";
    if (line.rfind(kCard, 0) == 0) admin_card_ = line.substr(kCard.size());
    if (line.rfind(kListening, 0) == 0) {
      url_ = line.substr(kListening.size());
      const size_t colon = url_.rfind(':');
      host_ = url_.substr(url_.find("//") + 2, colon - url_.find("//") - 2);
      port_ = std::atoi(url_.c_str() + colon + 1);
      break;
    }
  }
  close(out[0]);  // the server writes nothing more there; SIGPIPE is ignored by it
  if (url_.empty()) {
    Stop();
    throw std::runtime_error("velto-server did not report its address");
  }
}

ServerProcess::~ServerProcess() {
  Stop();
}

int ServerProcess::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace velto::test
