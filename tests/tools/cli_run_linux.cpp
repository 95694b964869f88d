#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "cli_run.h"

extern char** environ;

namespace velto::test {
namespace {

constexpr auto kRunLimit = std::chrono::minutes(1);

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::string> Environment(const CliRun& run) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::string_view(*variable).rfind("VELTO_", 0) != 0) variables.emplace_back(*variable);
  }
  for (const auto& [name, value] : run.variables) variables.push_back(name + "=" + value);
  return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int WaitForExit(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      throw std::runtime_error("velto did not end within a minute");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A pipe with nobody to read it: what is written into it fails.
class BrokenPipe {
 public:
  BrokenPipe() {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
    close(ends[0]);
    writing_ = ends[1];
  }
  BrokenPipe(const BrokenPipe&) = delete;
  BrokenPipe& operator=(const BrokenPipe&) = delete;
  ~BrokenPipe() { close(writing_); }

  int Writing() const { return writing_; }

 private:
  int writing_ = -1;
};

// A pseudo-terminal of the run's width, whose output a thread collects until velto, the
// last to hold its other end, has ended.
class Terminal {
 public:
  explicit Terminal(unsigned short columns) {
    winsize size{};
    size.ws_col = columns;
    size.ws_row = 24;
    if (openpty(&controller_, &terminal_, nullptr, nullptr, &size) != 0) {
      throw std::runtime_error("cannot open a pseudo-terminal");
    }
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  ~Terminal() {
    if (reader_.joinable()) reader_.join();
    close(controller_);
    if (terminal_ >= 0) close(terminal_);
  }

  int End() const { return terminal_; }

  // Once velto holds its end: collects until it is closed.
  void Collect() {
    close(terminal_);
    terminal_ = -1;
    reader_ = std::thread([this] {
      std::array<char, 4096> buffer{};
      for (ssize_t got; (got = read(controller_, buffer.data(), buffer.size())) > 0;) {
        shown_.append(buffer.data(), static_cast<size_t>(got));
      }
    });
  }

  std::string Shown() {
    if (reader_.joinable()) reader_.join();
    return shown_;
  }

 private:
  int controller_ = -1;
  int terminal_ = -1;
  std::thread reader_;
  std::string shown_;
};

// Starts velto with its standard streams in files of the run's folder (standard error on
// `terminal` when given).
pid_t Start(const CliRun& run, Terminal* terminal = nullptr) {
  const std::filesystem::path in = run.folder / "stdin", out = run.folder / "stdout",
                              err = run.folder / "stderr";
  std::ofstream(in, std::ios::binary) << run.input;
  std::vector<std::string> arguments = run.arguments;
  arguments.insert(arguments.begin(), VELTO_CLI_PROGRAM);
  std::vector<std::string> environment = Environment(run);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  if (run.output == StandardOutput::File) {
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  } else {
    posix_spawn_file_actions_addclose(&actions, 1);
  }
  if (terminal != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, terminal->End(), 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  posix_spawn_file_actions_addchdir_np(&actions, run.folder.c_str());
  BrokenPipe broken;
  if (run.output == StandardOutput::BrokenPipe) {
    posix_spawn_file_actions_adddup2(&actions, broken.Writing(), 1);
  }
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, VELTO_CLI_PROGRAM, &actions, nullptr,
                                  Pointers(arguments).data(), Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " VELTO_CLI_PROGRAM);
  return pid;
}

CliResult Finish(const CliRun& run, pid_t pid) {
  const int status = WaitForExit(pid);
  return {status, ReadAll(run.folder / "stdout"), ReadAll(run.folder / "stderr")};
}

}  // namespace

CliResult RunCli(const CliRun& run) {
  if (run.terminal_columns == 0) return Finish(run, Start(run));
  Terminal terminal(run.terminal_columns);
  const pid_t pid = Start(run, &terminal);
  terminal.Collect();
  CliResult result = Finish(run, pid);
  result.err = terminal.Shown();
  return result;
}

CliResult RunCliInterrupted(const CliRun& run, const std::function<bool()>& ready,
                            int signal_number) {
  const pid_t pid = Start(run);
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  while (!ready() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(pid, signal_number);
  return Finish(run, pid);
}

}  // namespace velto::test
