#pragma once

#include <string>

#include "velto/json_box.h"
#include "velto/records.h"

namespace velto {

// The steps of writing issued documents (VeltoWriteIssue, VeltoWriteIssues), in the order
// they run. Each step's writes stay on the server when a later one fails.

// The person of the request's "id" at the configured site as the server has it; when the
// server answers "301", the person is created from the request's "name", "gender",
// "birth" and "phone" and the formed record is the person.
TVeltoPerson EnsurePerson(const TJSONBox& request);

// The person's first issue named `name`, its end of validity moved to `end_time` when
// that is later in ordinal text order; a new issue ending at `end_time` when the person
// has none of that name.
TVeltoIssue EnsureIssue(const TVeltoPerson& person, const std::u16string& name,
                        const std::u16string& end_time);

// Uploads each element of `files` (an array of objects with "fileName", the local path,
// "hlscName" and "hlscDate") to `issue`, in order.
void UploadFiles(const TVeltoIssue& issue, const TJSONBox& files);

// Books the billing entry of class "result" for `issue`. Its contents name each element
// of `files` by its "hlscName", or by the bare name of its "fileName" when that is empty,
// joined with "|".
void BookResult(const TVeltoIssue& issue, const TJSONBox& files);

// Finds or creates the person's portal of the request's "portal.name" (its end moved
// forward as an issue's is, to "portal.endTime") and returns its gate address.
std::u16string PortalGate(const TVeltoPerson& person, const TJSONBox& request);

}  // namespace velto
