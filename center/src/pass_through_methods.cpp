// Every pass-through method of the common shape, defined from the table. The two form
// uploads and the download are written by hand beside their class's other operations.
#include "velto/billing_dao.h"
#include "velto/consent_dao.h"
#include "velto/file_dao.h"
#include "velto/issue_dao.h"
#include "velto/message_dao.h"
#include "velto/pass_through_method.h"
#include "velto/person_dao.h"
#include "velto/portal_dao.h"
#include "velto/site_dao.h"
#include "velto/survey_dao.h"
#include "velto/survey_value_dao.h"
#include "velto/user_card_dao.h"
#include "velto/user_dao.h"

namespace velto {

#define VELTO_DEFINE_PASS_THROUGH_METHOD_(Class, Name, Verb, Path, Body, Result, ...) \
  PassThroughReturn<PassThroughResult::Result> Class::Name(                           \
      VELTO_PASS_THROUGH_PARAMETERS(Result, __VA_ARGS__)) {                           \
    return static_cast<PassThroughReturn<PassThroughResult::Result>>(                 \
        RunPassThrough(PassThroughId::Name, {__VA_ARGS__}));                          \
  }

// The rows of the common shape; the form and stream rows are written by hand.
VELTO_PASS_THROUGH_SHAPES(VELTO_DEFINE_PASS_THROUGH_METHOD_, VELTO_PP_DROP, VELTO_PP_DROP)

}  // namespace velto
