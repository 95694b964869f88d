// The server's request handling in process: the raw bytes of the input go over a loopback
// connection to the whole server (request parsing, routing, JSON bodies, multipart forms)
// on an in-memory database, as velto-server runs. "@KEY@" in the input stands for the key of
// a session that the root card opened at start-up (the dictionary holds it), so that fuzzed
// requests get past the key check; "@SITEKEY@" for that of a user who works with site "s1"
// only, so that the checks of a site's records are reached too. A crash, a sanitizer report or a
// leak is a fault.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "fuzz_support.h"
#include "json_parser.h"
#include "server.h"
#include "velto/json_stringifier.h"
#include "velto/unicode.h"

namespace {

using velto::server::Options;
using velto::server::VeltoServer;

constexpr std::string_view kKeyToken = "@KEY@";
constexpr std::string_view kSiteKeyToken = "@SITEKEY@";
constexpr std::string_view kAdminCard = "fuzz-admin-card";
// The longest wait for the server's next bytes; its own deadlines are shorter.
constexpr int kReplyWaitMs = 10000;
constexpr int kInputsPerServer = 1000;

Options FuzzOptions() {
  Options options;
  options.memory = true;
  options.port = 0;
  options.admin_card = kAdminCard;
  options.quiet = true;
  options.workers = 4;
  options.header_deadline = 1;
  options.body_deadline = 2;
  options.login_tries = 1 << 30;  // fuzzed log-ins must not lock the card out
  return options;
}

class Connection {
 public:
  explicit Connection(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      velto::fuzz::Fail("no connection to the server");
    }
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { close(fd_); }

  // Sends the request and ends the sending side; gives what the server sent until it closed.
  std::string Exchange(std::string_view request) {
    size_t sent = 0;
    while (sent < request.size()) {
      const ssize_t n = send(fd_, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;  // the server may close before it has read everything
      sent += static_cast<size_t>(n);
    }
    shutdown(fd_, SHUT_WR);
    std::string reply;
    char buffer[16 * 1024];
    pollfd wait{fd_, POLLIN, 0};
    while (poll(&wait, 1, kReplyWaitMs) > 0) {
      const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      reply.append(buffer, static_cast<size_t>(n));
    }
    return reply;
  }

 private:
  int fd_;
};

// The server on its own thread, and the key of the root card's session.
class ServerUnderTest {
 public:
  ServerUnderTest() : server_(FuzzOptions()), port_(server_.Bind()) {
    serving_ = std::thread([this] { server_.Serve(); });
  }
  ServerUnderTest(const ServerUnderTest&) = delete;
  ServerUnderTest& operator=(const ServerUnderTest&) = delete;
  ~ServerUnderTest() {
    server_.Stop();
    serving_.join();
  }

  std::string Exchange(std::string_view request) { return Connection(port_).Exchange(request); }

  // The key of a live session of the root card: the last one while it lasts, else a new one.
  std::optional<std::string> LiveKey() {
    if (!key_.empty() && ValueOf(Exchange(Request("GET", "", key_))) == u"true") return key_;
    const std::u16string value = ValueOf(Exchange(Request("POST", kAdminCard, "")), u"id");
    if (value.empty()) return std::nullopt;
    key_ = velto::Utf16ToUtf8(value);
    return key_;
  }

  // The key of a live session of a user whose roles name site "s1" only, made with the root
  // key `root` when needed; empty when fuzzed requests made that impossible.
  std::string SiteKey(std::string_view root) {
    constexpr std::string_view kGate = "/user/fuzz-site/gate";
    if (!site_key_.empty() && ValueOf(Exchange(Request("GET", "", site_key_, kGate))) == u"true") {
      return site_key_;
    }
    Exchange(Request("POST", R"({"id": "s1", "name": "S"})", root, "/sites"));
    constexpr std::string_view kUser =
        R"({"id": "fuzz-site", "password": "fuzz-pass", "name": "F", "roles": "site:s1"})";
    Exchange(Request("POST", kUser, root, "/users"));
    Exchange(Request("PUT", kUser, root, "/user/fuzz-site"));  // it may have been changed
    site_key_ = velto::Utf16ToUtf8(
        ValueOf(Exchange(Request("POST", R"({"password": "fuzz-pass"})", "", kGate)), u"id"));
    return site_key_;
  }

 private:
  static std::string Request(std::string_view verb, std::string_view body, std::string_view key,
                             std::string_view path = "/user-card/gate/gate") {
    std::string request =
        std::string(verb) + " " + std::string(path) + " HTTP/1.1\r\nHost: fuzz\r\n";
    if (!key.empty()) request += "key-id: " + std::string(key) + "\r\n";
    return request + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
           std::string(body);
  }

  // The reply's "value" (or its member `name`): a string's text, any other value as JSON;
  // empty when there is none.
  static std::u16string ValueOf(const std::string& reply, std::u16string_view name = {}) {
    const size_t body = reply.find("\r\n\r\n");
    if (body == std::string::npos) return {};
    const velto::JSONValuePtr envelope =
        velto::ParseJSON(velto::Utf8ToUtf16(std::string_view(reply).substr(body + 4)));
    if (!envelope || envelope->Type() != velto::JSONType::Object) return {};
    const velto::JSONMember* value = envelope->FindMember(u"value");
    if (value != nullptr && !name.empty() && value->Value->Type() == velto::JSONType::Object) {
      value = value->Value->FindMember(name);
    }
    if (value == nullptr) return {};
    if (value->Value->Type() != velto::JSONType::String)
      return velto::JSONStringify(value->Value.get());
    return std::u16string(value->Value->Text());
  }

  VeltoServer server_;
  int port_;
  std::thread serving_;
  std::string key_;
  std::string site_key_;
};

// The server with a live key: a fuzzed request may have ended the session or deleted the
// root's card, and then a new server starts.
std::string LiveKey(std::unique_ptr<ServerUnderTest>& server) {
  if (!server) server = std::make_unique<ServerUnderTest>();
  std::optional<std::string> key = server->LiveKey();
  if (!key) {
    server = std::make_unique<ServerUnderTest>();
    key = server->LiveKey();
  }
  if (!key) velto::fuzz::Fail("the root card cannot log in");
  return *key;
}

// The input with each `token` replaced by `key`.
std::string WithKey(std::string_view input, std::string_view token, std::string_view key) {
  std::string request;
  for (size_t at = 0; at < input.size();) {
    const size_t found = input.find(token, at);
    request += input.substr(at, found - at);
    if (found == std::string_view::npos) break;
    request += key;
    at = found + token.size();
  }
  return request;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<ServerUnderTest> server;
  static int inputs = 0;
  // What fuzzed requests store stays in the database; a new server now and then bounds it.
  if (++inputs % kInputsPerServer == 0) server.reset();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string key = LiveKey(server);
  std::string request = WithKey(input, kKeyToken, key);
  // A site user's key only where asked for: it costs a request to keep alive.
  if (request.find(kSiteKeyToken) != std::string::npos) {
    request = WithKey(request, kSiteKeyToken, server->SiteKey(key));
  }
  server->Exchange(request);
  return 0;
}
