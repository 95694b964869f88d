#pragma once

#include <string>
#include <string_view>

#include "velto/json_box.h"

namespace velto {

// Records one issued document from the request object ("id" and the person's details,
// "issue" with "name", "endTime" and "files", "portal" with "name" and "endTime"): the
// person, the issue, its files, a billing entry and the portal. Returns the portal's gate
// address. Nothing is rolled back when a step fails.
std::u16string WriteIssue(const TJSONBox& request);

// The same for the array "issues" (elements with "name", "endTime" and "files"): each
// issue and its files in turn, then one billing entry for the last element's issue and
// files, then the portal.
std::u16string WriteIssues(const TJSONBox& request);

// The envelope of the two writes, built on the input document: `data` with "code" and
// "data" set (replaced where the input has them, else appended). `write` reads from a
// separate parse of `data`. Text that is not a JSON object raises ETypeMismatch here,
// before anything is written.
std::u16string InputEnvelope(std::u16string_view data,
                             std::u16string (*write)(const TJSONBox& request));

}  // namespace velto
