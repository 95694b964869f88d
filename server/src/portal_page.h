#pragma once

#include <string>
#include <vector>

#include "record_table.h"

namespace velto::server {

// What a person sees at a portal's gate.
struct PortalView {
  struct Issue {
    Fields issue;
    std::vector<Fields> files;
  };
  Fields portal;
  Fields person;
  std::string site_name;
  std::vector<Issue> issues;
};

// The page listing the person's issues with links to their files ("file/ID", relative to the
// gate's address).
std::string PortalPage(const PortalView& view);
// The page shown once the portal's end of validity has passed.
std::string ExpiredPortalPage(const PortalView& view);
// The page for an address that names no portal.
std::string MissingPortalPage();
// The Content-Security-Policy of these pages: their own style sheet and nothing else loads,
// no script runs, no other site frames them.
const std::string& PortalPagePolicy();

}  // namespace velto::server
