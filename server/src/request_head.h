#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velto::server {

// The name under which a request's "Range" header reaches the routes. The HTTP library would
// cut replies to ranges on its own, and wrongly; only the download routes answer ranges.
inline constexpr const char* kRangeHeader = "Velto-Range";

// A request's head (request line and header lines, ending with the empty line) as the HTTP
// library is given it: an absolute-form target becomes its path, "Range" becomes kRangeHeader.
// Empty when the head is malformed and the request must be refused with 400: a request line
// that is not METHOD TARGET HTTP/1.x, a header line without a name and a colon, a NUL or a bare
// CR or LF anywhere, a folded line, an HTTP/1.1 request without exactly one Host.
std::optional<std::string> CheckedHead(std::string_view head);

}  // namespace velto::server
