#include "export_catalog.h"

#include <algorithm>

#include "velto/export_table.h"
#include "velto/pass_through_catalog.h"

namespace velto::cli {
namespace {

ExportResult ResultOf(const PassThroughOperation& operation) {
  return operation.TakesStream() ? ExportResult::IntoFile : ExportResult::Envelope;
}

}  // namespace

std::vector<CallableExport> CallableExports() {
  std::vector<CallableExport> exports;
  ForEachSingleOperationExport(
      [&exports](const PassThroughOperation& operation) {
        const auto parameters = operation.Parameters();
        exports.push_back(
            {operation.name, {parameters.begin(), parameters.end()}, ResultOf(operation)});
      },
      [&exports](const TextExport& address) {
        exports.push_back({address.name, address.parameters, ExportResult::PlainText});
      });
  for (const TextExport& composite : CompositeExports()) {
    exports.push_back({composite.name, composite.parameters, ExportResult::Envelope});
  }
  return exports;
}

std::optional<CallableExport> FindCallable(std::string_view name) {
  for (CallableExport& callable : CallableExports()) {
    if (callable.name == name) return std::move(callable);
  }
  return std::nullopt;
}

bool IsLibraryExport(std::string_view name) {
  const std::vector<std::string_view> names = ExportNames();
  return std::find(names.begin(), names.end(), name) != names.end() && !FindCallable(name);
}

std::string ExportListing() {
  std::string listing;
  for (const CallableExport& callable : CallableExports()) {
    listing.append("  ").append(callable.name);
    for (std::string_view parameter : callable.parameters) {
      listing.append(" ").append(parameter);
    }
    listing += "\n";
  }
  return listing;
}

}  // namespace velto::cli
