#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "velto/freed_memory.h"
#include "velto/json_box.h"
#include "velto/json_parsed_object.h"
#include "velto/velto_error.h"

namespace velto {

// Checks a parsed reply's "code" and hands its "value" to `read`.
template <typename Read>
auto ReadCheckedValue(const TJSONBox& reply, Read&& read) {
  EVelto::Check(reply);
  return std::forward<Read>(read)(reply[u"value"]);
}

// The calling order of every resource operation after its request: parse the reply text as
// one JSON object, check its "code", hand its "value" to `read`, free the parsed reply.
template <typename Read>
auto ReadReplyValue(std::u16string_view reply_text, Read&& read) {
  TJSONBox reply = ParsedObjectBox(reply_text);
  JSONRootGuard guard(reply);
  return ReadCheckedValue(reply, std::forward<Read>(read));
}

// As ReadReplyValue, but the text is taken over and freed once parsed, and each large form
// is handed back when freed: a large reply is not held as text and document at once.
template <typename Read>
auto TakeReplyValue(std::u16string reply_text, Read&& read) {
  const std::size_t text_bytes = reply_text.size() * sizeof(char16_t);
  const ReturnFreedMemoryOnExit document_freed(text_bytes);
  TJSONBox reply = ParsedObjectBox(reply_text);
  JSONRootGuard guard(reply);
  std::u16string().swap(reply_text);
  ReturnFreedMemory(text_bytes);
  return ReadCheckedValue(reply, std::forward<Read>(read));
}

}  // namespace velto
