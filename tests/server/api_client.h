#pragma once

#include <httplib.h>
#include <rapidjson/document.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "server_process.h"

namespace velto::test {

// A reply as the library reads it: the HTTP status and the envelope.
struct Reply {
  int status = 0;
  std::string body;
  std::string content_type;
  rapidjson::Document json;  // null unless the body is JSON

  std::string code() const;
  const rapidjson::Value& value() const;
  // The value's member as text ("" when missing or not a string).
  std::string Text(const char* member) const;
};

// A part of an upload form.
struct FormPart {
  enum Kind { kText, kBareText, kFile };
  Kind kind;
  std::string name;
  std::string data;      // for text parts: the plain value (URL-encoded by the form writer)
  std::string filename;  // file parts only
};

// The text members of a JSON object, in order.
using Members = std::vector<std::pair<std::string, std::string>>;

// A JSON object laid out as the library sends it: one member per line, two-space indent, CR LF.
std::string LibraryJson(const Members& members);
// The library's URL encoding of form values and "name" queries.
std::string UrlEncode(const std::string& text);
// A multipart form as the library writes it; returns the body and sets `content_type`.
std::string LibraryForm(const std::vector<FormPart>& parts, std::string& content_type);
// An upload of a file as the library sends it: "file", "file-name", "hlscName", "hlscDate".
std::vector<FormPart> UploadParts(const std::string& bytes, const std::string& file_name,
                                  const std::string& hlsc_name, const std::string& hlsc_date);

// A logo form for a site whose id is in the path: "file" (logo.png holding "PNG"), "file-name".
std::vector<FormPart> LogoParts();

struct RawOptions {
  bool half_close = true;   // end the sending side once the bytes are sent
  std::string source = {};  // the loopback address to connect from; any when empty
};

// Sends raw bytes on a fresh connection and returns all the server sends until it closes.
std::string RawExchange(const std::string& host, int port, const std::string& bytes,
                        const RawOptions& options = {});
// The status and envelope of a raw reply; status 0 when there is none.
Reply ReplyOf(const std::string& response);

// Speaks to a velto-server over HTTP the way the library does.
class Api {
 public:
  explicit Api(const ServerProcess& server);

  void set_key(std::string key) { key_ = std::move(key); }
  const std::string& key() const { return key_; }

  Reply Get(const std::string& path);
  Reply Delete(const std::string& path);
  Reply Put(const std::string& path, const std::string& body);
  // POST as the library sends it: HTTP/1.0 on a fresh connection, JSON content type.
  Reply Post(const std::string& path, const std::string& body);
  Reply PostForm(const std::string& path, const std::vector<FormPart>& parts);
  // Logs in at the card gate and keeps the key; returns the reply.
  Reply LogIn(const std::string& card_number);
  // The ids of a created record, e.g. Create("/sites", {{"id","S"}}) -> value's "id".
  std::string Create(const std::string& path, const Members& members, const char* id = "id");

 private:
  Reply Finish(const httplib::Result& result);
  Reply RawPost(const std::string& path, const std::string& content_type, const std::string& body);

  std::string host_;
  int port_;
  httplib::Client client_;
  std::string key_;
};

}  // namespace velto::test
