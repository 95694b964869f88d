#include "velto/test_peer.h"

namespace velto::test {

PeerReply PeerReply::Http(std::string_view status_line, std::string_view body,
                          const std::vector<std::pair<std::string, std::string>>& headers) {
  std::string bytes(status_line);
  bytes += "\r\n";
  for (const auto& [name, value] : headers) bytes += name + ": " + value + "\r\n";
  bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  bytes += body;
  return Raw(std::move(bytes));
}

PeerReply PeerReply::Json(std::string_view body) {
  return Http("HTTP/1.1 200 OK", body, {{"Content-Type", "application/json; charset=utf-8"}});
}

PeerReply PeerReply::Raw(std::string bytes) {
  PeerReply reply;
  reply.pieces.push_back({std::chrono::milliseconds(0), std::move(bytes)});
  return reply;
}

PeerReply& PeerReply::Pause(std::chrono::milliseconds pause) {
  if (pieces.empty()) pieces.emplace_back();
  pieces.front().pause = pause;
  return *this;
}

PeerReply& PeerReply::Close() {
  end = End::Close;
  return *this;
}

PeerReply& PeerReply::Reset() {
  end = End::Reset;
  return *this;
}

PeerReply& PeerReply::AfterHead() {
  after_head = true;
  end = End::Close;
  return *this;
}

}  // namespace velto::test
