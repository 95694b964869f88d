#include "json_body.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

namespace velto::server {
namespace {

std::string MemberText(const rapidjson::Value& value) {
  if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
  if (value.IsObject() || value.IsArray()) {
    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    value.Accept(writer);
    return buffer.GetString();
  }
  return {};
}

}  // namespace

Fields ParseObject(std::string_view body) {
  rapidjson::Document document;
  document.Parse<rapidjson::kParseNumbersAsStringsFlag>(body.data(), body.size());
  if (document.HasParseError()) {
    throw ReplyError(
        ReplyCode::kBadRequest,
        std::string("Bad request: ") + rapidjson::GetParseError_En(document.GetParseError()));
  }
  if (!document.IsObject()) {
    throw ReplyError(ReplyCode::kBadRequest, "Bad request: the body is not a JSON object");
  }
  Fields fields;
  for (const auto& member : document.GetObject()) {
    fields[std::string(member.name.GetString(), member.name.GetStringLength())] =
        MemberText(member.value);
  }
  return fields;
}

}  // namespace velto::server
