#include "velto/message_dao.h"

#include "velto/typed_request.h"

namespace velto {

TVeltoMessage TVeltoMessageDAO::Add(const TVeltoMessage& message) {
  return PostRecord(PassThroughPath(PassThroughId::Message_Add, {message.SiteId}), message,
                    ToMessage);
}

}  // namespace velto
