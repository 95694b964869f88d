#include "records_server.h"
#include "server_process.h"

namespace velto::test {
namespace {

constexpr char kCard[] = "4000123412341234";

class OwnServer : public RecordsServer {
 public:
  OwnServer() : process_({"--memory", "--admin-card", kCard}) {}
  std::string Url() const override { return process_.url(); }
  std::string Card() const override { return kCard; }

 private:
  ServerProcess process_;
};

}  // namespace

std::unique_ptr<RecordsServer> RecordsServer::Start(std::string&) {
  return std::make_unique<OwnServer>();  // this build made velto-server: it must start
}

}  // namespace velto::test
