#pragma once

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// Billing entries booked for a person.
class TVeltoBillingDAO : public TVeltoDAO {
 public:
  // Books `billing` for `billing.SiteId` and `billing.PersonId`; returns the entry as the
  // server booked it.
  static TVeltoBilling Add(const TVeltoBilling& billing);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoBillingDAO)
};

}  // namespace velto
