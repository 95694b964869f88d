#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "records_server.h"

namespace velto::test {
namespace {

// The velto-server that records_server.sh started on the build machine, whose loopback Wine
// shares; its folder (relative to the working directory, which reads the same under Wine)
// holds its URL and the root user's card number.
class FixtureServer : public RecordsServer {
 public:
  FixtureServer(std::string url, std::string card) : url_(std::move(url)), card_(std::move(card)) {}
  std::string Url() const override { return url_; }
  std::string Card() const override { return card_; }

 private:
  std::string url_;
  std::string card_;
};

}  // namespace

std::unique_ptr<RecordsServer> RecordsServer::Start(std::string& reason) {
  const char* folder = std::getenv("VELTO_RECORDS_SERVER_DIR");
  if (folder == nullptr) {
    reason =
        "no velto-server: configure this build with -DVELTO_SERVER_EXECUTABLE=<a Linux build's "
        "velto-server> to run the end-to-end tests";
    return nullptr;
  }
  std::string url, card;
  std::ifstream(std::string(folder) + "/url") >> url;
  std::ifstream(std::string(folder) + "/card") >> card;
  if (url.empty() || card.empty()) {
    throw std::runtime_error(std::string("velto-server's fixture wrote no address into ") + folder);
  }
  return std::make_unique<FixtureServer>(url, card);
}

}  // namespace velto::test
