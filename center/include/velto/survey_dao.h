#pragma once

#include "velto/dao.h"
#include "velto/pass_through_method.h"

namespace velto {

// The surveys of an issue; only pass-through operations, JSON text in and out
// (pass_through_operations.h).
class TVeltoSurveyDAO : public TVeltoDAO {
 public:
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoSurveyDAO)
};

}  // namespace velto
