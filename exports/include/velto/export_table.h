#pragma once

#include <string_view>
#include <vector>

#include "velto/pass_through_catalog.h"

// The exports besides the single server operations (pass_through_operations.h). Together
// with those they make velto_box.h's declarations and the .def files (velto_interface), and
// the lists below are all the exports the library has.

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

namespace velto {

// The parameter names of a composite export's row.
struct CompositeExport {
  std::string_view name;
  std::vector<std::string_view> parameters;
};

#define VELTO_COMPOSITE_PARAMETER_(context, index, count, parameter) #parameter
#define VELTO_COMPOSITE_ROW_(Name, ...) \
  CompositeExport{#Name, {VELTO_PP_EACH(VELTO_COMPOSITE_PARAMETER_, , __VA_ARGS__)}},

inline std::vector<CompositeExport> CompositeExports() {
  return {VELTO_COMPOSITE_EXPORTS(VELTO_COMPOSITE_ROW_)};
}

#undef VELTO_COMPOSITE_ROW_
#undef VELTO_COMPOSITE_PARAMETER_

// The name of every export, in the order of velto_box.h.
inline std::vector<std::string_view> ExportNames() {
#define VELTO_LIBRARY_EXPORT_NAME_(Name) #Name,
  std::vector<std::string_view> names = {VELTO_LIBRARY_EXPORTS(VELTO_LIBRARY_EXPORT_NAME_)};
#undef VELTO_LIBRARY_EXPORT_NAME_
  for (const PassThroughOperation& operation : kPassThroughOperations) {
    names.push_back(operation.name);
  }
  for (const CompositeExport& composite : CompositeExports()) names.push_back(composite.name);
  return names;
}

}  // namespace velto
