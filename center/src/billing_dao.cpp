#include "velto/billing_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {

// A path of its own, not Billing_Add's ("/billing/%s"): the typed operation names the person
// in the path beside the site, the pass-through one the site only.
TVeltoBilling TVeltoBillingDAO::Add(const TVeltoBilling& billing) {
  return PostRecord(ResourcePath(u"/billing/%s/%s", {billing.SiteId, billing.PersonId}), billing,
                    ToBilling);
}

}  // namespace velto
