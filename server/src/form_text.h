#pragma once

#include <string>

namespace velto::server {

// The value of a text part of an upload form as the sending library writes it: possibly
// quoted-printable, and always URL-encoded (space as "+", other bytes as %XX). URL-encoded text
// never holds a bare "=", so undoing quoted-printable first is safe for bare parts too.
std::string DecodeFormText(const std::string& raw);

// Percent-encodes every byte but the unreserved characters of URLs (letters, digits, "-", ".",
// "_", "~"), for a path segment or a header parameter.
std::string PercentEncode(const std::string& text);

}  // namespace velto::server
