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

TGlobal& Global();

// The person `person_id` of the configured site, every other field empty: what the
// composite operations ask the server for.
TVeltoPerson ConfiguredSitePerson(std::u16string_view person_id);

}  // namespace velto
