#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "velto/json_box.h"

namespace velto {

// The frame every result envelope shares: `work` writes its success into `response` (an
// object); a failure it raises puts "code" "FAIL" and then "data" its message
// (CurrentFailureMessage) there instead, replacing members already written in place, so
// "code" stays before "data". Returns the indented text of `response`. Only a host's own
// exception (HostException) passes through.
std::u16string EnvelopeText(const TJSONBox& response, const std::function<void()>& work);

// Writes "code" "SUCCESS", then "data" `data`, into `response`; `data` is freed on the way.
void PutSuccess(const TJSONBox& response, std::u16string data);

// The result envelope: "code" "SUCCESS" and "data" the operation's text, or "code" "FAIL"
// and the message of whatever it raised, as indented JSON text.
std::u16string ResultEnvelope(const std::function<std::u16string()>& operation);

// The envelope of an operation whose success carries "code" "SUCCESS" alone.
std::u16string CodeEnvelope(const std::function<void()>& operation);

}  // namespace velto
