#pragma once

// A multipart form as it must appear on the wire, for the upload tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "velto/test_peer.h"

namespace velto::test {

// One part: a text part (quoted-printable), a bare text part, or a file part.
struct Part {
  enum Kind { Text, Bare, File } kind;
  std::string name;
  std::string value;  // the text, or the file's bytes
  std::string file_name = {};
  std::string media_type = {};
};

inline std::string FormBody(const std::string& boundary, const std::vector<Part>& parts) {
  std::string body;
  for (const Part& part : parts) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
    if (part.kind == Part::File) {
      body += "; filename=\"" + part.file_name + "\"\r\nContent-Type: " + part.media_type +
              "\r\nContent-Transfer-Encoding: binary\r\n";
    } else {
      body += "\r\nContent-Type: text/plain\r\n";
      if (part.kind == Part::Text) body += "Content-Transfer-Encoding: quoted-printable\r\n";
    }
    body += "\r\n" + part.value + "\r\n";
  }
  return body + "--" + boundary + "--\r\n";
}

// The boundary the form chose (it comes from the local time), read from the request.
inline std::string BoundaryOf(const PeerRequest& request) {
  const std::string prefix = "multipart/form-data; boundary=";
  const std::string content_type = request.Header("Content-Type");
  EXPECT_TRUE(content_type.starts_with(prefix)) << content_type;
  return content_type.substr(std::min(prefix.size(), content_type.size()));
}

}  // namespace velto::test
