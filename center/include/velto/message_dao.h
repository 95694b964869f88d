#pragma once

#include "velto/dao.h"
#include "velto/records.h"

namespace velto {

// Text messages to a person's phone.
class TVeltoMessageDAO : public TVeltoDAO {
 public:
  // Sends `message` on behalf of `message.SiteId`; returns the message as the server
  // booked it.
  static TVeltoMessage Add(const TVeltoMessage& message);
};

}  // namespace velto
