#include "child_process.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <system_error>

extern char** environ;

namespace velto::bench {
namespace {

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

}  // namespace

ChildRun RunChild(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (error != 0) throw std::system_error(error, std::generic_category(), arguments[0]);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "wait4");
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

  ChildRun run;
  run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.seconds = elapsed.count();
  run.cpu_seconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.peak_rss_kib = static_cast<uint64_t>(usage.ru_maxrss);
  return run;
}

}  // namespace velto::bench
