#include "server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velto::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStartLimit = std::chrono::seconds(30);
constexpr auto kStopLimit = std::chrono::seconds(30);

// Reads one line from the pipe, waiting at most until `deadline`.
bool ReadLine(int fd, std::string& line, Clock::time_point deadline) {
  line.clear();
  while (Clock::now() < deadline) {
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line += c;
  }
  return false;
}

// Starts the wrapper (if any) and velto-server with `args`; its standard output goes to
// `output` when given, its standard error to the launch's file.
pid_t Spawn(const std::vector<std::string>& args, const Launch& launch, int output) {
  std::vector<std::string> command = launch.wrapper;
  command.push_back(VELTO_SERVER_PATH);
  command.insert(command.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& part : command) argv.push_back(part.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output >= 0) posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
  if (!launch.error_output.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, launch.error_output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + command.front());
  return pid;
}

// Waits for the child until `deadline`, then kills it; its exit status, or -1.
int Reap(pid_t pid, Clock::time_point deadline) {
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ServerProcess::ServerProcess(std::vector<std::string> flags, Launch launch) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  flags.push_back("--port");
  flags.push_back("0");
  try {
    pid_ = Spawn(flags, launch, out[1]);
  } catch (...) {
    close(out[0]);
    close(out[1]);
    throw;
  }
  close(out[1]);

  const auto deadline = Clock::now() + kStartLimit;
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

std::filesystem::path ServerProcess::SeenByServer(const std::filesystem::path& path) const {
  return std::filesystem::path("/proc") / std::to_string(pid_) / "root" /
         std::filesystem::absolute(path).relative_path();
}

int ServerProcess::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  const int status = Reap(pid_, Clock::now() + kStopLimit);
  pid_ = -1;
  return status;
}

Exit RunServerToExit(const std::vector<std::string>& args, const Launch& launch,
                     std::chrono::seconds deadline) {
  TemporaryFolder folder;
  Launch captured = launch;
  captured.error_output = (folder.path() / "stderr").string();
  Exit exit;
  exit.code = Reap(Spawn(args, captured, -1), Clock::now() + deadline);
  std::ifstream in(captured.error_output);
  exit.error_output.assign(std::istreambuf_iterator<char>(in), {});
  return exit;
}

std::vector<std::string> PrivateMount(const std::filesystem::path& folder, const std::string& size,
                                      bool read_only) {
  if (std::system("unshare -Urm true >/dev/null 2>&1") != 0) return {};
  const std::string options = "size=" + size + (read_only ? ",ro" : "");
  return {"unshare",
          "-Urm",
          "sh",
          "-c",
          "mount -t tmpfs -o " + options + " none '" + folder.string() + "' && exec \"$@\"",
          "sh"};
}

}  // namespace velto::test
