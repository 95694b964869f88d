#include "message_sender.h"

#include "time_text.h"

namespace velto::server {

void RecordingSender::Send(Fields& message) {
  message["sendTime"] = NowText();
}

}  // namespace velto::server
