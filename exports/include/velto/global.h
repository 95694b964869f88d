#pragma once

#include <string>

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

}  // namespace velto
