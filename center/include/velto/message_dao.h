#pragma once

#include "velto/dao.h"
#include "velto/pass_through_method.h"
#include "velto/records.h"

namespace velto {

// Text messages to a person's phone.
class TVeltoMessageDAO : public TVeltoDAO {
 public:
  // Sends `message` on behalf of `message.SiteId`; returns the message as the server
  // booked it.
  static TVeltoMessage Add(const TVeltoMessage& message);

  // The pass-through operations: JSON text in and out (pass_through_operations.h).
  VELTO_PASS_THROUGH_METHODS_OF(TVeltoMessageDAO)
};

}  // namespace velto
