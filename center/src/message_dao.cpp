#include "velto/message_dao.h"

#include "velto/resource_path.h"
#include "velto/typed_request.h"

namespace velto {

TVeltoMessage TVeltoMessageDAO::Add(const TVeltoMessage& message) {
  return PostRecord(ResourcePath(u"/message/%s", {message.SiteId}), message, ToMessage);
}

}  // namespace velto
