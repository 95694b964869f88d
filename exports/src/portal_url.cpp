#include "velto/portal_url.h"

#include <vector>

#include "velto/gate_address.h"
#include "velto/global.h"
#include "velto/portal_dao.h"
#include "velto/result_envelope.h"

namespace velto {

std::u16string PortalUrlEnvelope(std::u16string_view person_id) {
  TJSONBox response = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(response);
  return EnvelopeText(response, [&] {
    TVeltoPortal search;
    search.SiteId = Global().SiteId;
    search.PersonId = person_id;
    const std::vector<TVeltoPortal> portals = TVeltoPortalDAO::GetList(search);
    if (!portals.empty()) PutSuccess(response, GateAddress(portals.front().Id));
  });
}

}  // namespace velto
