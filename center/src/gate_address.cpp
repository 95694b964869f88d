#include "velto/gate_address.h"

#include "velto/resource_path.h"
#include "velto/velto_center.h"

namespace velto {

std::u16string GateAddress(std::u16string_view portal_id) {
  return TVeltoCenter::GetPath(ResourcePath(u"/portal/%s/gate", {portal_id}));
}

}  // namespace velto
