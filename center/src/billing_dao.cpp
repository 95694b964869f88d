#include "velto/billing_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {

TVeltoBilling TVeltoBillingDAO::Add(const TVeltoBilling& billing) {
  return PostRecord(ResourcePath(u"/billing/%s/%s", {billing.SiteId, billing.PersonId}), billing,
                    ToBilling);
}

}  // namespace velto
