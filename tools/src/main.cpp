// velto: the command-line host of the Velto.Box library.

#include <exception>
#include <optional>
#include <stdexcept>

#include "command_line.h"
#include "console.h"
#include "export_invocation.h"
#include "ini_key_check.h"
#include "progress_display.h"

using namespace velto::cli;

namespace {

// The status to exit with: a result that could not be written out is not a success, the
// export's work done or not.
int Print(const Presentation& printed) {
  const bool written = WriteOut(printed.out);
  WriteError(printed.err);
  if (written) return printed.status;
  WriteError("velto: cannot write to standard output\n");
  return printed.status == kSuccess ? kUsageError : printed.status;
}

Presentation UsageError(const std::string& message) {
  return {"", "velto: " + message + "\n", kUsageError};
}

// The export the request names, with as many arguments as it has parameters.
CallableExport CheckedExport(const Request& request) {
  const std::optional<CallableExport> callable = FindCallable(request.export_name);
  if (!callable && IsLibraryExport(request.export_name)) {
    throw std::invalid_argument(request.export_name +
                                " is not called by name: velto sets the library up from "
                                "--root, --card, --site and --ini");
  }
  if (!callable) {
    throw std::invalid_argument("no export " + request.export_name +
                                " (velto call --help lists them)");
  }
  if (request.arguments.size() != callable->parameters.size()) {
    std::string names;
    for (std::string_view parameter : callable->parameters) {
      names += (names.empty() ? "" : ", ") + std::string(parameter);
    }
    throw std::invalid_argument(
        request.export_name + " takes " + std::to_string(callable->parameters.size()) +
        " argument(s) (" + names + "), " + std::to_string(request.arguments.size()) + " given");
  }
  return *callable;
}

// A new process has no session: every operation but the composed portal address logs in
// first, and a log-in without a card only counts towards the server's lockout.
bool NeedsLogIn(const CallableExport& callable) {
  return callable.name != "Portal_GetPortalUrl";
}

Presentation Call(const Request& request, const Settings& settings) {
  const CallableExport callable = CheckedExport(request);
  if (NeedsLogIn(callable) && settings.card.value.empty()) {
    return UsageError(
        "no user card to log in with: give --card, set VELTO_CARD, or UserCardNumber in the "
        "[Global] section of the --ini file");
  }
  const LibraryExports library;
  std::string refused;
  if (!ApplySettings(settings, refused)) return {"", "velto: " + refused + "\n", kLeftExport};
  ProgressDisplay progress;
  std::optional<ProgressRegistration> registration;
  if (!request.quiet && ErrorIsTerminal()) registration.emplace(progress.Events());
  const CallOutcome outcome = CallExport(library, callable, request.arguments);
  return Present(outcome, callable.result, request.as_returned);
}

Presentation Run(const std::vector<std::string>& arguments) {
  auto parsed = ParseCommandLine(arguments);
  if (auto* printed = std::get_if<Presentation>(&parsed)) return *printed;
  const Request& request = std::get<Request>(parsed);
  const Settings settings = ResolveSettings(request.settings, EnvironmentVariable);
  WriteError(UnknownIniKeyWarnings(settings.ini_file));
  if (request.show_config) return {DescribeSettings(settings), "", kSuccess};
  return Call(request, settings);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareStandardStreams();
  Presentation printed;
  try {
    printed = Run(Utf8Arguments(argc, argv));
  } catch (const std::exception& error) {
    printed = UsageError(error.what());
  }
  return Print(printed);
}
