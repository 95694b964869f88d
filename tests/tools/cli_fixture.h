#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"
#include "scratch_folder.h"
#include "velto/test_peer.h"

namespace velto::test {

inline constexpr char kCard[] = "4000123412341234";

// A server reply envelope of code 100 with `value_json` as its value.
inline PeerReply Value(std::string_view value_json) {
  return PeerReply::Json(R"({"code":"100","message":"ok","value":)" + std::string(value_json) +
                         "}");
}

// The real velto against the capturing peer: the session check (a GET of a gate) gets
// `gate`, every other request `reply`.
class CliTest : public ::testing::Test {
 protected:
  void Answer(PeerReply gate, PeerReply reply) {
    peer_.SetResponder([gate, reply](const PeerRequest& request) {
      const bool check = request.Method() == "GET" && request.Target().ends_with("/gate");
      return check ? gate : reply;
    });
  }

  // velto with the peer as root, the test card and site s1, then `arguments`.
  CliResult Velto(std::vector<std::string> arguments, std::string input = {}) {
    arguments.insert(arguments.begin(), {"--root", peer_.Root(), "--card", kCard, "--site", "s1"});
    return RunCli({arguments, std::move(input), {}, folder_.path()});
  }

  // The requests that reached the peer, but the session checks.
  std::vector<PeerRequest> Operations() const {
    std::vector<PeerRequest> operations;
    for (const PeerRequest& request : peer_.Requests()) {
      if (!(request.Method() == "GET" && request.Target().ends_with("/gate"))) {
        operations.push_back(request);
      }
    }
    return operations;
  }

  TestPeer peer_;
  ScratchFolder folder_{"cli"};
};

}  // namespace velto::test
