#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace velto::bench {

// A loopback HTTP server that swallows uploads and serves generated downloads, one
// connection at a time, so that a transfer is limited by the client under test. Bodies
// stream through a 1 MiB buffer both ways. POST /upload counts the request body and answers
// with a reply envelope; GET /download sends `download_size` bytes with a Content-Length.
// Plain sockets rather than an HTTP server library: the packaged one reads a body 4 KiB at
// a time and parses it as a form, which made the server slower than the clients it measures.
class TransferSink {
 public:
  explicit TransferSink(uint64_t download_size);
  TransferSink(const TransferSink&) = delete;
  TransferSink& operator=(const TransferSink&) = delete;
  ~TransferSink();

  std::string Url(const std::string& path) const;
  // The body size of the last upload that arrived whole and ended with its closing boundary;
  // 0 when the last one did not.
  uint64_t LastUploadSize() const { return last_upload_size_; }

 private:
  void Serve();

  uint64_t download_size_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<uint64_t> last_upload_size_{0};
  std::thread thread_;
};

}  // namespace velto::bench
