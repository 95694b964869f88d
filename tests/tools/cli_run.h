#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velto::test {

// How velto ran: its exit status and all it wrote.
struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Where velto's standard output goes.
enum class StandardOutput {
  File,        // a file of the run's folder
  Closed,      // no descriptor at all
  BrokenPipe,  // a pipe whose reading end is closed
};

struct CliRun {
  std::vector<std::string> arguments;                          // after the program's name
  std::string input;                                           // its standard input
  std::vector<std::pair<std::string, std::string>> variables;  // added to the environment
  std::filesystem::path folder;                  // working folder; also holds its standard streams
  StandardOutput output = StandardOutput::File;  // other than a file only on Linux
  unsigned short terminal_columns = 0;           // Linux: standard error a terminal this wide
};

// Runs the velto of this build as a child process (under Wine, velto.exe beside this
// program), with this process's environment but for the VELTO_ variables, which only
// `variables` sets. A run that does not end within a minute is killed and fails.
CliResult RunCli(const CliRun& run);

#ifndef _WIN32
// Runs velto as RunCli does and sends it the signal once `ready` holds (or a minute passed).
CliResult RunCliInterrupted(const CliRun& run, const std::function<bool()>& ready,
                            int signal_number);
#endif

}  // namespace velto::test
