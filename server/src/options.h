#pragma once

#include <string>

namespace velto::server {

// How the server runs; filled from the command line.
struct Options {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::string db = "./velto.db";
  std::string files = "./velto-files/";
  bool memory = false;            // in-memory database and a temporary files folder
  std::string admin_card;         // the root card's number on first start; random when empty
  long long session_idle = 3600;  // seconds; 0 keeps keys until log-out
  std::string tls_cert;
  std::string tls_key;
};

}  // namespace velto::server
