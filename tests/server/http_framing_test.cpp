// Requests whose head is malformed, and the ranges of downloads: nothing after a refused
// request runs, and every reply's length is the bytes it sends.
#include <gtest/gtest.h>

#include <map>

#include "server_fixture.h"

namespace velto::test {
namespace {

using FramingTest = ServerTest;

// A raw reply taken apart: status, headers (names in lower case) and body.
struct RawReply {
  int status = 0;
  std::map<std::string, std::string> headers;
  std::string body;
  size_t replies = 0;  // status lines in everything received
};

RawReply Parse(const std::string& raw) {
  RawReply reply;
  for (size_t at = raw.find("HTTP/1.1 "); at != std::string::npos;
       at = raw.find("HTTP/1.1 ", at + 1)) {
    ++reply.replies;
  }
  const size_t head_end = raw.find("\r\n\r\n");
  if (raw.rfind("HTTP/1.1 ", 0) != 0 || head_end == std::string::npos) return reply;
  reply.status = std::stoi(raw.substr(9, 3));
  size_t line = raw.find("\r\n") + 2;
  while (line < head_end) {
    const size_t end = raw.find("\r\n", line);
    const std::string header = raw.substr(line, end - line);
    const size_t colon = header.find(':');
    std::string name = header.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    reply.headers[name] = header.substr(header.find_first_not_of(' ', colon + 1));
    line = end + 2;
  }
  reply.body = raw.substr(head_end + 4);
  return reply;
}

TEST_F(FramingTest, AMalformedRequestIsRefusedAndNothingAfterItRuns) {
  Api api = RootApi();
  const std::string victim = api.Create("/sites", {{"id", "victim"}, {"name", "v"}});
  const std::string hidden =
      "DELETE /site/victim HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() + "\r\n\r\n";
  struct Case {
    const char* what;
    std::string head;
  };
  const Case cases[] = {
      {"an unknown version", "GET /sites HTTP/9.9\r\nHost: x\r\n\r\n"},
      {"a request line of four words", "GET /sites x HTTP/1.1\r\nHost: x\r\n\r\n"},
      {"a header line longer than the library reads",
       "GET /sites HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(10000, 'x') + "\r\n\r\n"},
      {"no Host", "GET /sites HTTP/1.1\r\nAccept: */*\r\n\r\n"},
      {"two Hosts", "GET /sites HTTP/1.1\r\nHost: x\r\nHost: y\r\n\r\n"},
      {"a line without a colon", "GET /sites HTTP/1.1\r\nHost: x\r\nNoColonHere\r\n\r\n"},
      {"a NUL in a value", std::string("GET /sites HTTP/1.1\r\nHost: x\r\nX-A: a\0b\r\n\r\n", 42)},
      {"a bare CR in a value", "GET /sites HTTP/1.1\r\nHost: x\r\nX-A: a\rb\r\n\r\n"},
      {"a bare LF in a value", "GET /sites HTTP/1.1\r\nHost: x\r\nX-A: a\nb\r\n\r\n"},
      {"a folded line", "GET /sites HTTP/1.1\r\nHost: x\r\nX-A: a\r\n b\r\n\r\n"},
      {"a blank before the colon", "GET /sites HTTP/1.1\r\nHost: x\r\nX-A : a\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RawReply reply = Parse(RawExchange(server().host(), server().port(), c.head + hidden));
    EXPECT_EQ(reply.status, 400);
    EXPECT_EQ(reply.replies, 1u);
    EXPECT_EQ(api.Get("/site/" + victim).code(), "100");
  }
}

TEST_F(FramingTest, AnAbsoluteFormTargetIsServedAsItsPath) {
  Api api = RootApi();
  const std::string site = api.Create("/sites", {{"id", "absolute"}, {"name", "a"}});
  for (const std::string& target :
       {"http://127.0.0.1/site/" + site, "HTTPS://example.org:8443/site/" + site + "?x=1"}) {
    SCOPED_TRACE(target);
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
                                "\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(ReplyOf(RawExchange(server().host(), server().port(), request)).Text("id"), site);
  }
}

TEST_F(FramingTest, RangesOfDownloadsAreServedAsAskedOrRefused) {
  Api api = RootApi();
  const World w = MakeWorld(api, "range");
  std::string bytes(10000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
  const std::string file =
      api.PostForm("/files/" + w.issue, UploadParts(bytes, "big.bin", "", "")).Text("id");
  const std::string empty =
      api.PostForm("/files/" + w.issue, UploadParts("", "empty.bin", "", "")).Text("id");
  ASSERT_FALSE(file.empty());
  ASSERT_FALSE(empty.empty());
  struct Case {
    std::string path;
    const char* range;
    int status;
    std::string content_range;  // "" when there must be none
    std::string body;
  };
  const std::string data = "/file/" + file + "/data";
  const std::string link = "/portal/" + w.portal + "/file/" + file;
  const Case cases[] = {
      {data, "bytes=20000-", 416, "bytes */10000", ""},
      {link, "bytes=20000-", 416, "bytes */10000", ""},
      {data, "bytes=10000-10001", 416, "bytes */10000", ""},
      {data, "bytes=99999999999999999999999-", 416, "bytes */10000", ""},
      {data, "bytes=-0", 416, "bytes */10000", ""},
      {data, "bytes=100-,200-", 200, "", bytes},
      {data, "bytes=0-0", 206, "bytes 0-0/10000", bytes.substr(0, 1)},
      {link, "bytes=0-0", 206, "bytes 0-0/10000", bytes.substr(0, 1)},
      {data, "bytes=9999-", 206, "bytes 9999-9999/10000", bytes.substr(9999)},
      {data, "bytes=-1", 206, "bytes 9999-9999/10000", bytes.substr(9999)},
      {data, "bytes=-20000", 206, "bytes 0-9999/10000", bytes},
      {data, "bytes=10-19", 206, "bytes 10-19/10000", bytes.substr(10, 10)},
      {data, "bytes=9990-99999999999999999999999", 206, "bytes 9990-9999/10000",
       bytes.substr(9990)},
      {data, "bytes=5-2", 200, "", bytes},
      {data, "bytes=abc", 200, "", bytes},
      {data, "pages=0-1", 200, "", bytes},
      {"/file/" + empty + "/data", "bytes=0-0", 416, "bytes */0", ""},
      {"/file/" + empty + "/data", "bytes=-5", 416, "bytes */0", ""},
      {"/file/" + empty + "/data", "", 200, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + c.range);
    const std::string request = "GET " + c.path + " HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
                                (*c.range != '\0' ? std::string("\r\nRange: ") + c.range : "") +
                                "\r\nConnection: close\r\n\r\n";
    RawReply reply = Parse(RawExchange(server().host(), server().port(), request));
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.headers["content-length"], std::to_string(reply.body.size()));
    EXPECT_EQ(reply.headers["content-range"], c.content_range);
    EXPECT_EQ(reply.body, c.body);
    EXPECT_EQ(reply.headers["x-content-type-options"], "nosniff");
  }
}

TEST_F(FramingTest, ACompressedBodyIsRefusedUnread) {
  Api api = RootApi();
  const std::string body = R"({"id":"zipped","name":"n"})";
  for (const char* coding : {"gzip", "deflate", "br"}) {
    SCOPED_TRACE(coding);
    const std::string request = "POST /sites HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
                                "\r\nContent-Encoding: " + coding +
                                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                                body;
    EXPECT_EQ(Parse(RawExchange(server().host(), server().port(), request)).status, 415);
    EXPECT_EQ(api.Get("/site/zipped").code(), "301");
  }
}

TEST_F(FramingTest, IdsWithControlCharactersAreRefused) {
  Api api = RootApi();
  for (const char* id : {"cr\rid", "lf\nid", "tab\tid", "del\x7fid"}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(api.Post("/sites", LibraryJson({{"id", id}, {"name", "n"}})).code(), "303");
  }
  // The same ids in a path, percent-encoded, whatever the route.
  const std::pair<const char*, const char*> in_paths[] = {
      {"GET", "/site/lf%0Aid"},     {"GET", "/site/cr%0Did"},   {"DELETE", "/site/crlf%0D%0Aid"},
      {"GET", "/person/S/lf%0Aid"}, {"GET", "/issue/nul%00id"}, {"PUT", "/file/del%7Fid"},
  };
  for (const auto& [verb, path] : in_paths) {
    SCOPED_TRACE(path);
    const std::string request = std::string(verb) + " " + path +
                                " HTTP/1.1\r\nHost: x\r\nkey-id: " + api.key() +
                                "\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}";
    const RawReply reply = Parse(RawExchange(server().host(), server().port(), request));
    EXPECT_EQ(reply.status, 200);
    EXPECT_NE(reply.body.find("\"303\""), std::string::npos) << reply.body;
  }
  const Reply sites = api.Get("/sites");
  for (const auto& site : sites.value().GetArray()) {
    const std::string id = site["id"].GetString();
    EXPECT_EQ(id.find_first_of("\r\n\t\x7f"), std::string::npos) << id;
  }
}

TEST_F(FramingTest, PortalPagesTellTheBrowserWhatNotToDo) {
  Api api = RootApi();
  const World w = MakeWorld(api, "headers");
  for (const std::string& path :
       {"/portal/" + w.portal + "/gate", std::string("/portal/none/gate")}) {
    SCOPED_TRACE(path);
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    RawReply reply = Parse(RawExchange(server().host(), server().port(), request));
    EXPECT_EQ(reply.headers["x-content-type-options"], "nosniff");
    EXPECT_EQ(reply.headers["x-frame-options"], "DENY");
    EXPECT_EQ(reply.headers["referrer-policy"], "no-referrer");
    const std::string policy = reply.headers["content-security-policy"];
    EXPECT_EQ(policy.rfind("default-src 'none'; style-src 'sha256-", 0), 0u) << policy;
    EXPECT_NE(policy.find("frame-ancestors 'none'"), std::string::npos) << policy;
  }
}

}  // namespace
}  // namespace velto::test
