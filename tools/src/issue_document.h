#pragma once

#include <string>
#include <string_view>

namespace velto::cli {

// The document VeltoWriteIssue reads, as velto explains and checks it.

// A complete document that works as it is against a server with the site set up, once its
// one file (a path relative to the working folder) exists.
std::string IssueDocumentExample();

// Every member with its kind, what it means and whether it is required.
std::string IssueDocumentMembers();

// The warnings (one line each, velto's prefix included) for members the export does not read.
// Throws std::invalid_argument naming the first member that is missing or of the wrong kind,
// or a file of "fileName" that cannot be read. A text that is no JSON object is left to the
// export, which reports it in its own words.
std::string CheckIssueDocument(std::string_view document);

}  // namespace velto::cli
