#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto::cli {

// What an export hands back.
enum class ExportResult {
  Envelope,   // a result envelope
  PlainText,  // a text of its own (the composed portal address)
  IntoFile,   // bytes into the host's stream: velto gives it a file, the last parameter
};

// An export that "velto call" reaches by name: the single server operations and the
// composite operations, as the tables that declare them list them.
struct CallableExport {
  std::string_view name;
  std::vector<std::string_view> parameters;
  ExportResult result = ExportResult::Envelope;
};

std::vector<CallableExport> CallableExports();
std::optional<CallableExport> FindCallable(std::string_view name);

// Whether the library has an export of that name that velto sets up itself (VeltoOpen,
// VeltoInit, ...) rather than calling it by name.
bool IsLibraryExport(std::string_view name);

// One line per callable export: its name and its parameters.
std::string ExportListing();

}  // namespace velto::cli
