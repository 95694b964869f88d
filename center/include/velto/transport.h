#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "velto/exception.h"

namespace velto {

enum class HttpVerb { Get, Post, Put, Delete };

// Direction of a transfer, as progress receivers see it.
enum class WorkMode : int32_t { Read = 0, Write = 1 };

// Receives transfer progress on the thread that sends the request.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void WorkBegin(WorkMode mode, int64_t count_max) = 0;
  virtual void Work(WorkMode mode, int64_t count) = 0;
  virtual void WorkEnd(WorkMode mode) = 0;
};

// A request body of known size, read while it is sent.
class BodySource {
 public:
  virtual ~BodySource() = default;
  virtual uint64_t Size() const = 0;
  // Fills up to `capacity` bytes and returns how many; 0 only at the end.
  virtual size_t Read(char* buffer, size_t capacity) = 0;
  // Starts again from the first byte, for a transport that must send the body once more
  // (a kept-alive connection found closed); false when it cannot.
  virtual bool Rewind() = 0;
};

// Receives the body of a 2xx reply as it arrives.
class BodySink {
 public:
  virtual ~BodySink() = default;
  virtual void Write(const char* data, size_t size) = 0;
};

inline constexpr uint64_t kDefaultMaxReplySize = uint64_t{64} << 20;
inline constexpr std::chrono::seconds kDefaultReplyTimeout{120};

struct TransportSettings {
  bool tls_verify = true;
  std::string ca_file;  // an extra PEM bundle; honoured where the platform allows
  std::chrono::seconds connect_timeout{30};
  std::chrono::seconds stall_timeout{60};  // a transfer that moves no byte this long fails
  // A server must not take the host's memory or time: the most bytes one reply body may
  // hold and the longest one exchange may take. A download's body is bound by neither.
  uint64_t max_reply_size = kDefaultMaxReplySize;
  std::chrono::seconds reply_timeout = kDefaultReplyTimeout;

  bool operator==(const TransportSettings&) const = default;
};

struct HttpRequest {
  HttpVerb verb = HttpVerb::Get;
  std::string url;  // complete, sent as given
  // Everything but what HTTP itself needs (Host, Content-Length).
  std::vector<std::pair<std::string, std::string>> headers;
  BodySource* body = nullptr;  // none for GET and DELETE
  // A download: the body streams into the host's target, so only the stall limit applies.
  bool download = false;
};

struct HttpReply {
  int status = 0;
  std::string status_line;  // exactly as received, without the line break
  std::string content_type;
};

// A failure below HTTP: refused, reset, closed early, timed out, TLS refused, a reply past
// its size or time limit.
class TransportError : public Exception {
 public:
  using Exception::Exception;
};

// One HTTP client with its connection pool and in-memory cookies.
// GET, PUT and DELETE go out as HTTP/1.1 on a kept-alive connection; every POST goes out
// as HTTP/1.0 on a fresh connection. Redirects are never followed. The body of a non-2xx
// reply never reaches the sink. Connection failures raise TransportError. Requests go
// straight to the server, never through a proxy, and carry no credentials: a URL holding
// a user name or password is refused before anything is sent.
class Transport {
 public:
  virtual ~Transport() = default;
  virtual HttpReply Send(const HttpRequest& request, BodySink& sink, ProgressSink* progress) = 0;
  // New TLS settings and time limits for the requests that follow; the cookies stay.
  virtual void ApplySettings(const TransportSettings& settings) = 0;
};

// The platform's transport: libcurl on Linux, WinHTTP on Windows.
std::unique_ptr<Transport> MakeTransport(const TransportSettings& settings);

}  // namespace velto
