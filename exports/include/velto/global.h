#pragma once

#include <string>

namespace velto {

// The configuration of VeltoOpen and VeltoInit.
struct TGlobal {
  std::u16string UserCardNumber;
  std::u16string SiteId;
};

TGlobal& Global();

}  // namespace velto
