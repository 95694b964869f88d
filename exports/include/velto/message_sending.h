#pragma once

#include <string>
#include <string_view>

namespace velto {

// Sends the message the input object describes ("personId", "msgType", "requestTime",
// "sendTime", "destPhone", "sendPhone", "msgBody", "templateCode", "senderKey",
// "nationCode", "reType", "reBody") on behalf of the configured site, books it as a
// billing entry of class "message", and returns the message the server booked as indented
// JSON text. Input that is not a JSON object fails with ETypeMismatch before anything is
// sent.
std::u16string SendPersonMessage(std::u16string_view data);

}  // namespace velto
