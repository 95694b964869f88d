#pragma once

#include <string>
#include <string_view>

#include "velto/records.h"

namespace velto {

// The configuration of VeltoOpen and VeltoInit.
struct TGlobal {
  std::u16string UserCardNumber;
  std::u16string SiteId;
};

// A copy of the configuration (const: assigning to it does not compile). An export on one
// host thread may configure while another thread's operation reads it.
const TGlobal Global();
// Replaces the whole configuration.
void SetGlobal(TGlobal global);

// The person `person_id` of the configured site, every other field empty: what the
// composite operations ask the server for.
TVeltoPerson ConfiguredSitePerson(std::u16string_view person_id);

}  // namespace velto
