#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "velto/dao.h"
#include "velto/json_box.h"
#include "velto/server_reply.h"

namespace velto {

// The exchange every typed operation makes: send one request through TVeltoDAO, parse
// and check the reply (ReadReplyValue) and read its "value" with a reader below or a
// record reader (ToUser ... ToBilling). Nothing is caught; every document is freed on
// every path.

// The JSON form of a record (ToJSONBox) as the request's text.
template <typename Record>
std::u16string RequestText(const Record& record) {
  TJSONBox box = ToJSONBox(record);
  JSONRootGuard guard(box);
  return box.Stringify();
}

// Reads "value" as an array, each element through `read`, in order. A "value" that is
// missing or no array, or an element the reader refuses, fails the whole list.
template <typename Read>
auto ListOf(Read read) {
  return [read](const TJSONBox& value) {
    const int32_t count = value.Count();  // ETypeMismatch for anything but an array
    std::vector<std::invoke_result_t<Read, const TJSONBox&>> list;
    list.reserve(static_cast<size_t>(count));
    for (int32_t index = 0; index < count; ++index) list.push_back(read(value[index]));
    return list;
  };
}

// "value" as text: a string's characters, a number's text form, otherwise empty.
inline std::u16string ValueText(const TJSONBox& value) {
  return value.AsString();
}

// For operations that only check the reply.
inline void NoValue(const TJSONBox&) {}

template <typename Read>
auto GetValue(std::u16string_view path, Read read) {
  return ReadReplyValue(TVeltoDAO::DoGet(path), read);
}

template <typename Record, typename Read>
auto PostRecord(std::u16string_view path, const Record& record, Read read) {
  return ReadReplyValue(TVeltoDAO::DoPost(path, RequestText(record)), read);
}

template <typename Record>
void PutRecord(std::u16string_view path, const Record& record) {
  ReadReplyValue(TVeltoDAO::DoPut(path, RequestText(record)), NoValue);
}

inline void DeleteResource(std::u16string_view path) {
  ReadReplyValue(TVeltoDAO::DoDelete(path), NoValue);
}

}  // namespace velto
