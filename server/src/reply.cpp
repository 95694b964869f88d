#include "reply.h"

namespace velto::server {

const char* CodeText(ReplyCode code) {
  switch (code) {
    case ReplyCode::kOk:
      return "100";
    case ReplyCode::kNotFound:
      return "301";
    case ReplyCode::kDuplicate:
      return "302";
    case ReplyCode::kBadRequest:
      return "303";
    case ReplyCode::kKeyMissing:
      return "401";
    case ReplyCode::kKeyRejected:
      return "402";
    case ReplyCode::kLogInRefused:
      return "403";
    case ReplyCode::kNotAllowed:
      return "405";
    case ReplyCode::kTooManyTries:
      return "429";
    case ReplyCode::kServerFault:
      return "500";
  }
  return "500";
}

std::string Envelope(ReplyCode code, const std::string& message, const ValueWriter& value) {
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("code");
  writer.String(CodeText(code));
  writer.Key("message");
  writer.String(message.c_str(), static_cast<rapidjson::SizeType>(message.size()));
  if (value) {
    writer.Key("value");
    value(writer);
  }
  writer.EndObject();
  return buffer.GetString();
}

}  // namespace velto::server
