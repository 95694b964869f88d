#pragma once

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace velto::server {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;
// Writes the "value" of a reply.
using ValueWriter = std::function<void(JsonWriter&)>;

// The "code" of a reply envelope. The texts are documented in the README.
enum class ReplyCode {
  kOk,            // "100"
  kNotFound,      // "301"
  kDuplicate,     // "302"
  kBadRequest,    // "303"
  kKeyMissing,    // "401"
  kKeyRejected,   // "402"
  kLogInRefused,  // "403"
  kNotAllowed,    // "405"
  kTooManyTries,  // "429"
  kServerFault,   // "500"
};

const char* CodeText(ReplyCode code);

// Thrown anywhere inside a route; the router turns it into the envelope.
class ReplyError : public std::runtime_error {
 public:
  ReplyError(ReplyCode code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  ReplyCode code() const { return code_; }

 private:
  ReplyCode code_;
};

// The record a request names does not exist ("301").
class RecordNotFound : public ReplyError {
 public:
  RecordNotFound() : ReplyError(ReplyCode::kNotFound, "Not found") {}
};

// {"code": ..., "message": ..., "value": ...}; the value is left out when there is none.
std::string Envelope(ReplyCode code, const std::string& message, const ValueWriter& value = {});

}  // namespace velto::server
