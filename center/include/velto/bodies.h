#pragma once

#include <string>

#include "velto/stream_box.h"
#include "velto/transport.h"

namespace velto {

// A request body held in memory.
class StringBody : public BodySource {
 public:
  explicit StringBody(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t Read(char* buffer, size_t capacity) override;
  bool Rewind() override;

 private:
  std::string bytes_;
  size_t offset_ = 0;
};

// Collects a reply body in memory.
class StringSink : public BodySink {
 public:
  void Write(const char* data, size_t size) override { bytes_.append(data, size); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Writes a reply body into the host's stream unchanged; a short write fails.
class StreamSink : public BodySink {
 public:
  explicit StreamSink(IStream* stream) : box_(stream) {}
  void Write(const char* data, size_t size) override;

 private:
  TStreamBox box_;
};

}  // namespace velto
