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

// Which rows are of the common shape.
#define VELTO_COMMON_SHAPE_NoBody VELTO_PP_KEEP
#define VELTO_COMMON_SHAPE_JsonBody VELTO_PP_KEEP
#define VELTO_COMMON_SHAPE_FormBody VELTO_PP_DROP
#define VELTO_COMMON_SHAPE_ValueText VELTO_PP_KEEP
#define VELTO_COMMON_SHAPE_NumberText VELTO_PP_KEEP
#define VELTO_COMMON_SHAPE_Nothing VELTO_PP_KEEP
#define VELTO_COMMON_SHAPE_IntoStream VELTO_PP_DROP

#define VELTO_DEFINE_PASS_THROUGH_METHOD_(Class, Name, Verb, Path, Body, Result, ...)       \
  VELTO_COMMON_SHAPE_##Body(                                                                \
      VELTO_COMMON_SHAPE_##Result(PassThroughReturn<PassThroughResult::Result> Class::Name( \
          VELTO_PASS_THROUGH_PARAMETERS(Result, __VA_ARGS__)) {                             \
        return static_cast<PassThroughReturn<PassThroughResult::Result>>(                   \
            RunPassThrough(PassThroughId::Name, {__VA_ARGS__}));                            \
      }))

VELTO_PASS_THROUGH_METHODS(VELTO_DEFINE_PASS_THROUGH_METHOD_)

}  // namespace velto
