#pragma once

#include "velto/dao.h"
#include "velto/pass_through_method.h"

namespace velto {

// A person's consent; only pass-through operations, JSON text in and out
// (pass_through_operations.h).
class TVeltoConsentDAO : public TVeltoDAO {
 public:
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoConsentDAO)
};

}  // namespace velto
