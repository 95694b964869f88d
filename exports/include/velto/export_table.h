#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "velto/pass_through_catalog.h"

// The exports besides the server operations of the table (pass_through_operations.h).
// Together with those they make velto_box.h's declarations and the .def files
// (velto_interface), and the lists below are all the exports the library has.

// Declared by hand in velto_box.h, in its order: lifecycle, configuration and texts.
// clang-format off
#define VELTO_LIBRARY_EXPORTS(X) \
  X(VeltoOpen)                   \
  X(VeltoClose)                  \
  X(VeltoInit)                   \
  X(VeltoEnter)                  \
  X(VeltoLeave)                  \
  X(VeltoWorkBegin)              \
  X(VeltoWorkEnd)                \
  X(VeltoLastError)              \
  X(VeltoAllocString)            \
  X(VeltoFreeString)
// clang-format on

// The operations of several requests, in the order of velto_box.h, one row each:
//   X(Name, Parameters...)
// each a text-returning export whose parameters are texts, declared from its row and
// written by hand.
// clang-format off
#define VELTO_COMPOSITE_EXPORTS(X)                  \
  X(VeltoRead, Id)                                  \
  X(VeltoWriteIssue, Data)                          \
  X(VeltoWriteIssues, Data)                         \
  X(VeltoPortalUrl, Id)                             \
  X(VeltoDeleteIssue, Id, IssueName)                \
  X(VeltoDeletePerson, Id)                          \
  X(VeltoSendMessage, Data)                         \
  X(VeltoSiteAdd, SiteId, SiteName)                 \
  X(VeltoUserAdd, UserId, UserName, Passwd, SiteId)
// clang-format on

// The exports that send nothing, one row each: X(Name, Parameters...), a text-returning
// export whose parameters are texts and whose text is its own, not an envelope; written by
// hand. In velto_box.h each stands among the single server operations, after the last of
// its resource (ExportResource).
// clang-format off
#define VELTO_ADDRESS_EXPORTS(X) \
  X(Portal_GetPortalUrl, PortalId)
// clang-format on

namespace velto {

// The parameter names of a row of the composite or address exports.
struct TextExport {
  std::string_view name;
  std::vector<std::string_view> parameters;
};

#define VELTO_TEXT_EXPORT_PARAMETER_(context, index, count, parameter) #parameter
#define VELTO_TEXT_EXPORT_ROW_(Name, ...) \
  TextExport{#Name, {VELTO_PP_EACH(VELTO_TEXT_EXPORT_PARAMETER_, , __VA_ARGS__)}},

inline std::vector<TextExport> CompositeExports() {
  return {VELTO_COMPOSITE_EXPORTS(VELTO_TEXT_EXPORT_ROW_)};
}

inline std::vector<TextExport> AddressExports() {
  return {VELTO_ADDRESS_EXPORTS(VELTO_TEXT_EXPORT_ROW_)};
}

#undef VELTO_TEXT_EXPORT_ROW_
#undef VELTO_TEXT_EXPORT_PARAMETER_

// The resource an export belongs to: the part of its name before "_".
constexpr std::string_view ExportResource(std::string_view name) {
  return name.substr(0, name.find('_'));
}

// The exports of single operations in the order of velto_box.h: each row of the table
// (on_row), and each address export (on_address) after the last row of its resource.
template <typename OnRow, typename OnAddress>
void ForEachSingleOperationExport(OnRow on_row, OnAddress on_address) {
  const std::vector<TextExport> addresses = AddressExports();
  const std::span<const PassThroughOperation> rows = kPassThroughOperations;
  for (size_t i = 0; i < rows.size(); ++i) {
    on_row(rows[i]);
    const std::string_view resource = ExportResource(rows[i].name);
    if (i + 1 < rows.size() && ExportResource(rows[i + 1].name) == resource) continue;
    for (const TextExport& address : addresses) {
      if (ExportResource(address.name) == resource) on_address(address);
    }
  }
}

// The name of every export, in the order of velto_box.h.
inline std::vector<std::string_view> ExportNames() {
#define VELTO_LIBRARY_EXPORT_NAME_(Name) #Name,
  std::vector<std::string_view> names = {VELTO_LIBRARY_EXPORTS(VELTO_LIBRARY_EXPORT_NAME_)};
#undef VELTO_LIBRARY_EXPORT_NAME_
  ForEachSingleOperationExport(
      [&names](const PassThroughOperation& operation) { names.push_back(operation.name); },
      [&names](const TextExport& address) { names.push_back(address.name); });
  for (const TextExport& composite : CompositeExports()) names.push_back(composite.name);
  return names;
}

}  // namespace velto
