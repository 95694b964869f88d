#include "api_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string_view>

namespace velto::test {
namespace {

constexpr const char* kJsonType = "application/json; charset=utf-8";

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Quoted-printable with soft line breaks, as a mail library writes it.
std::string QuotedPrintable(const std::string& text) {
  std::string out;
  size_t line = 0;
  for (unsigned char c : text) {
    std::string piece(1, static_cast<char>(c));
    if (c == '=' || c < 0x20 || c > 0x7E) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "=%02X", c);
      piece = hex;
    }
    if (line + piece.size() > 75) {
      out += "=\r\n";
      line = 0;
    }
    out += piece;
    line += piece.size();
  }
  return out;
}

void ParseJson(Reply& reply) {
  reply.json.Parse(reply.body.c_str(), reply.body.size());
  if (reply.json.HasParseError()) reply.json.SetNull();
}

}  // namespace

std::string RawExchange(const std::string& host, int port, const std::string& bytes,
                        const RawOptions& options) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  timeval limit{30, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  if (!options.source.empty()) {
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, options.source.c_str(), &source.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source);
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, host.c_str(), &address.sin_addr);
  std::string response;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    if (options.half_close) shutdown(fd, SHUT_WR);
    char buffer[65536];
    ssize_t n = 0;
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) response.append(buffer, n);
  }
  close(fd);
  return response;
}

Reply ReplyOf(const std::string& response) {
  Reply reply;
  const size_t end_of_headers = response.find("\r\n\r\n");
  if (response.size() < 12 || end_of_headers == std::string::npos) return reply;
  reply.status = std::atoi(response.c_str() + 9);
  reply.body = response.substr(end_of_headers + 4);
  ParseJson(reply);
  return reply;
}

std::string Reply::code() const {
  if (!json.IsObject() || !json.HasMember("code") || !json["code"].IsString()) return "";
  return json["code"].GetString();
}

const rapidjson::Value& Reply::value() const {
  static const rapidjson::Value kNull;
  if (!json.IsObject() || !json.HasMember("value")) return kNull;
  return json["value"];
}

std::string Reply::Text(const char* member) const {
  const auto& v = value();
  if (!v.IsObject() || !v.HasMember(member) || !v[member].IsString()) return "";
  return v[member].GetString();
}

std::string LibraryJson(const Members& members) {
  std::string out = "{";
  for (size_t i = 0; i < members.size(); ++i) {
    out += (i == 0 ? "\r\n  " : ",\r\n  ") + JsonString(members[i].first) + ": " +
           JsonString(members[i].second);
  }
  return out + "\r\n}";
}

std::string UrlEncode(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) ||
        std::string_view("!$'()*-.@_").find(static_cast<char>(c)) != std::string_view::npos) {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string LibraryForm(const std::vector<FormPart>& parts, std::string& content_type) {
  const std::string boundary = "--------120524140709042";
  content_type = "multipart/form-data; boundary=" + boundary;
  std::string body;
  for (const FormPart& part : parts) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
    if (part.kind == FormPart::kFile) {
      body += "; filename=\"" + part.filename + "\"\r\nContent-Type: application/octet-stream" +
              "\r\nContent-Transfer-Encoding: binary\r\n\r\n" + part.data + "\r\n";
    } else if (part.kind == FormPart::kText) {
      body +=
          "\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" +
          QuotedPrintable(UrlEncode(part.data)) + "\r\n";
    } else {
      body += "\r\nContent-Type: text/plain\r\n\r\n" + UrlEncode(part.data) + "\r\n";
    }
  }
  return body + "--" + boundary + "--\r\n";
}

std::vector<FormPart> UploadParts(const std::string& bytes, const std::string& file_name,
                                  const std::string& hlsc_name, const std::string& hlsc_date) {
  return {{FormPart::kFile, "file", bytes, file_name},
          {FormPart::kBareText, "file-name", file_name, ""},
          {FormPart::kBareText, "hlscName", hlsc_name, ""},
          {FormPart::kBareText, "hlscDate", hlsc_date, ""}};
}

std::vector<FormPart> LogoParts() {
  return {{FormPart::kFile, "file", "PNG", "logo.png"},
          {FormPart::kBareText, "file-name", "logo.png", ""}};
}

Api::Api(const ServerProcess& server)
    : host_(server.host()), port_(server.port()), client_(server.host(), server.port()) {
  // A server that refuses a request before reading its body closes on a client still sending.
  signal(SIGPIPE, SIG_IGN);
  client_.set_keep_alive(true);
  client_.set_url_encode(false);  // paths go out exactly as written, as the library sends them
  client_.set_read_timeout(30, 0);
}

Reply Api::Finish(const httplib::Result& result) {
  if (!result) throw std::runtime_error("request failed: " + httplib::to_string(result.error()));
  Reply reply;
  reply.status = result->status;
  reply.body = result->body;
  reply.content_type = result->get_header_value("Content-Type");
  ParseJson(reply);
  return reply;
}

static httplib::Headers KeyHeader(const std::string& key) {
  if (key.empty()) return {};
  return {{"key-id", key}};
}

Reply Api::Get(const std::string& path) {
  return Finish(client_.Get(path, KeyHeader(key_)));
}

Reply Api::Delete(const std::string& path) {
  return Finish(client_.Delete(path, KeyHeader(key_)));
}

Reply Api::Put(const std::string& path, const std::string& body) {
  return Finish(client_.Put(path, KeyHeader(key_), body, kJsonType));
}

Reply Api::RawPost(const std::string& path, const std::string& content_type,
                   const std::string& body) {
  std::string request = "POST " + path + " HTTP/1.0\r\nHost: " + host_ + ":" +
                        std::to_string(port_) + "\r\nContent-Type: " + content_type +
                        "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  if (!key_.empty()) request += "key-id: " + key_ + "\r\n";
  request += "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Velto.Box)\r\n\r\n";
  Reply reply = ReplyOf(RawExchange(host_, port_, request + body, {.half_close = false}));
  if (reply.status == 0) throw std::runtime_error("no reply to POST " + path);
  return reply;
}

Reply Api::Post(const std::string& path, const std::string& body) {
  return RawPost(path, kJsonType, body);
}

Reply Api::PostForm(const std::string& path, const std::vector<FormPart>& parts) {
  std::string content_type;
  const std::string body = LibraryForm(parts, content_type);
  return RawPost(path, content_type, body);
}

Reply Api::LogIn(const std::string& card_number) {
  Reply reply = Post("/user-card/20240305140709042123/gate", card_number);
  set_key(reply.Text("id"));
  return reply;
}

std::string Api::Create(const std::string& path, const Members& members, const char* id) {
  const Reply reply = Post(path, LibraryJson(members));
  if (reply.code() != "100") throw std::runtime_error("POST " + path + ": " + reply.body);
  return reply.Text(id);
}

}  // namespace velto::test
