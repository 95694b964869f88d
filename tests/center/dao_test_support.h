#pragma once

// What the typed operation tests share: running an operation and summing up its result,
// the failures every operation must pass on, and a connection held busy.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "center_fixture.h"
#include "velto/dao.h"
#include "velto/http_error.h"
#include "velto/json_exceptions.h"
#include "velto/key.h"
#include "velto/records.h"
#include "velto/velto_center.h"
#include "velto/velto_error.h"

namespace velto::test {

// What an operation reads from the reply's "value".
enum class ValueKind { List, Record, Text, Nothing };

struct DaoOperation {
  std::string name;
  ValueKind kind;
  std::function<std::string()> call;  // the result in short (Summary)
};

// A result in short: a record by its id, a list by its records' ids in order.
inline std::string Summary(const std::u16string& text) {
  return Utf16ToUtf8(text);
}
inline std::string Summary(bool value) {
  return value ? "true" : "false";
}
inline std::string Summary(const TVeltoKey& key) {
  return Utf16ToUtf8(key.UserId + u"|" + key.Id);
}
inline std::string Summary(const TVeltoMessage& message) {
  return Utf16ToUtf8(message.Cmid + u"|" + message.RequestTime);
}
template <typename Record>
std::string Summary(const Record& record) {
  return Utf16ToUtf8(record.Id);
}
template <typename Record>
std::string Summary(const std::vector<Record>& list) {
  std::string out = "[";
  for (const Record& record : list) {
    if (out.size() > 1) out += ',';
    out += Summary(record);
  }
  return out + "]";
}

// Wraps a call to a typed operation; an operation without a result sums up as "".
template <typename Call>
std::function<std::string()> Summed(Call call) {
  return [call] {
    if constexpr (std::is_void_v<decltype(call())>) {
      call();
      return std::string();
    } else {
      return Summary(call());
    }
  };
}

// How a failure must reach the caller.
enum class Raised { TypeMismatch, Velto, Http, Transport, Busy };

struct FailureCase {
  std::string name;
  PeerReply reply;
  std::vector<ValueKind> kinds;  // the operations it applies to
  Raised raised;
  std::u16string message;  // empty: the transport's own text

  bool AppliesTo(ValueKind kind) const {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
  }
};

inline std::vector<FailureCase> FailureCases() {
  const std::vector<ValueKind> all = {ValueKind::List, ValueKind::Record, ValueKind::Text,
                                      ValueKind::Nothing};
  const std::vector<ValueKind> records = {ValueKind::List, ValueKind::Record};
  const auto envelope = [](std::string members) { return PeerReply::Json("{" + members + "}"); };
  return {
      {"not JSON", PeerReply::Json("<html>busy</html>"), all, Raised::TypeMismatch,
       u"Type mismatch"},
      {"a JSON array", PeerReply::Json("[]"), all, Raised::TypeMismatch, u"Type mismatch"},
      {"empty 204", PeerReply::Raw("HTTP/1.1 204 No Content\r\n\r\n"), all, Raised::TypeMismatch,
       u"Type mismatch"},
      {"code 301", ServerReply("301", "[]", "Not found"), all, Raised::Velto, u"[301] Not found"},
      {"numeric code 200", envelope(R"("code":200,"message":"x","value":{})"), all, Raised::Velto,
       u"[200] x"},
      {"no code", envelope(R"("value":[])"), all, Raised::Velto, u"[] "},
      {"value null", ServerReply("100", "null"), records, Raised::TypeMismatch, u"Type mismatch"},
      {"value missing", envelope(R"("code":"100","message":"OK")"), records, Raised::TypeMismatch,
       u"Type mismatch"},
      {"value text", ServerReply("100", R"("x")"), records, Raised::TypeMismatch, u"Type mismatch"},
      {"value number", ServerReply("100", "7"), records, Raised::TypeMismatch, u"Type mismatch"},
      {"list value an object",
       ServerReply("100", R"({"id":"a"})"),
       {ValueKind::List},
       Raised::TypeMismatch,
       u"Type mismatch"},
      {"record value an array",
       ServerReply("100", R"([{"id":"a"}])"),
       {ValueKind::Record},
       Raised::TypeMismatch,
       u"Type mismatch"},
      {"list element no object",
       ServerReply("100", R"([{"id":"a"},"b",{"id":"c"}])"),
       {ValueKind::List},
       Raised::TypeMismatch,
       u"Type mismatch"},
      {"list element null",
       ServerReply("100", R"([{"id":"a"},null])"),
       {ValueKind::List},
       Raised::TypeMismatch,
       u"Type mismatch"},
      {"status 500", PeerReply::Http("HTTP/1.1 500 Internal Server Error", R"({"code":"100"})"),
       all, Raised::Http, u"HTTP/1.1 500 Internal Server Error"},
      {"status 404", PeerReply::Http("HTTP/1.1 404 Not Found"), all, Raised::Http,
       u"HTTP/1.1 404 Not Found"},
      // Bytes arrived, so no client may quietly send the request again.
      {"peer closes mid-body",
       PeerReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"code\":").Close(), all,
       Raised::Transport, u""},
  };
}

// Whether `error` is the kind of failure `raised` names.
inline bool IsRaised(Raised raised, const Exception& error) {
  switch (raised) {
    case Raised::TypeMismatch:
      return dynamic_cast<const ETypeMismatch*>(&error) != nullptr;
    case Raised::Velto:
      return dynamic_cast<const EVelto*>(&error) != nullptr;
    case Raised::Http:
      return dynamic_cast<const EHttpError*>(&error) != nullptr;
    case Raised::Transport:
      return dynamic_cast<const TransportError*>(&error) != nullptr;
    case Raised::Busy:
      return error.Message() == kBusyMessage;
  }
  return false;
}

// Runs `call` and checks that it fails as `raised` and `message` say.
inline void ExpectFailure(const std::function<std::string()>& call, Raised raised,
                          const std::u16string& message) {
  try {
    const std::string result = call();
    ADD_FAILURE() << "no failure; result " << result;
  } catch (const Exception& error) {
    EXPECT_TRUE(IsRaised(raised, error)) << error.what();
    if (!message.empty()) {
      EXPECT_EQ(Utf16ToUtf8(error.Message()), Utf16ToUtf8(message));
    }
  }
}

// Holds the connection with a request whose reply waits, runs `while_busy` once the peer
// holds that request, then lets it finish with `held_reply`. Returns what the held request
// read. A held request that never reaches the peer fails the test, and `while_busy` does
// not run: the connection was never busy.
inline std::u16string WhileBusy(TestPeer& peer, const std::function<void()>& while_busy,
                                std::string_view held_reply = "{}") {
  using namespace std::chrono_literals;
  struct Hold {
    std::promise<void> arrived;
    std::once_flag arrival;
    std::promise<void> release;
  };
  const auto hold = std::make_shared<Hold>();
  peer.SetResponder([hold, answer = hold->release.get_future().share(),
                     reply = std::string(held_reply)](const PeerRequest&) {
    std::call_once(hold->arrival, [&] { hold->arrived.set_value(); });
    answer.wait_for(10s);
    return PeerReply::Json(reply);
  });
  auto held = std::async(std::launch::async, [] { return TVeltoDAO::DoGet(u"/held"); });
  const bool holding = hold->arrived.get_future().wait_for(10s) == std::future_status::ready;
  if (holding) {
    while_busy();
  } else {
    ADD_FAILURE() << "the held request did not reach the peer within 10 s";
  }
  hold->release.set_value();
  std::u16string read;
  EXPECT_NO_THROW(read = held.get()) << "the held request failed";
  peer.SetResponder({});
  return read;
}

}  // namespace velto::test
