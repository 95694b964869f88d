#pragma once

#include <string>
#include <variant>
#include <vector>

#include "call_outcome.h"
#include "settings.h"

namespace velto::cli {

// What the command line asks velto to do.
struct Request {
  SettingFlags settings;
  bool as_returned = false;  // --envelope
  bool quiet = false;        // --quiet: no progress bar
  bool show_config = false;  // "velto config"
  std::string export_name;   // the export to call, with its arguments
  std::vector<std::string> arguments;
};

// The request, or what to print instead (--help, a usage error) and the status to exit
// with. Reads the document files the commands name (standard input for "-"); one that
// cannot be read throws std::runtime_error.
std::variant<Request, Presentation> ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace velto::cli
