#include "velto/gate_address.h"

#include "velto/pass_through_method.h"
#include "velto/velto_center.h"

namespace velto {

std::u16string GateAddress(std::u16string_view portal_id) {
  return TVeltoCenter::GetPath(PassThroughPath(PassThroughId::Portal_GetPortalUrl, {portal_id}));
}

}  // namespace velto
