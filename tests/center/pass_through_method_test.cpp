// The pass-through methods at the connection: each one refuses at once, sending nothing,
// while another request runs (an export cannot get there: its session check is refused
// first), and each works again afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "center_fixture.h"
#include "dao_test_support.h"
#include "scratch_path.h"
#include "velto/billing_dao.h"
#include "velto/consent_dao.h"
#include "velto/file_dao.h"
#include "velto/host_stream.h"
#include "velto/issue_dao.h"
#include "velto/message_dao.h"
#include "velto/person_dao.h"
#include "velto/portal_dao.h"
#include "velto/site_dao.h"
#include "velto/survey_dao.h"
#include "velto/survey_value_dao.h"
#include "velto/user_card_dao.h"
#include "velto/user_dao.h"

namespace velto::test {
namespace {

template <typename Parameter>
Parameter Argument(const std::u16string& text, IStream* stream) {
  if constexpr (std::is_same_v<Parameter, IStream*>) {
    return stream;
  } else {
    return text;
  }
}

// A method called with a sample for each parameter of its row: the path of `file` for a file
// name, "{}" for JSON, "x" for the rest.
template <typename Result, typename... Parameters>
std::function<void()> WithSamples(PassThroughId id, Result (*method)(Parameters...),
                                  const std::u16string& file, IStream* stream) {
  std::vector<std::u16string> texts;
  for (const std::string_view name : PassThroughOperationOf(id).Parameters()) {
    texts.push_back(name.ends_with("FileName")     ? file
                    : name.ends_with("JsonString") ? u"{}"
                                                   : u"x");
  }
  return [=] {
    [&]<size_t... Index>(std::index_sequence<Index...>) {
      method(Argument<Parameters>(texts[Index], stream)...);
    }
    (std::index_sequence_for<Parameters...>());
  };
}

struct MethodCall {
  std::string name;
  std::function<void()> call;
};

std::vector<MethodCall> EveryMethod(const std::u16string& file, IStream* stream) {
#define VELTO_METHOD_CALL_(Class, Name, ...) \
  {#Name, WithSamples(PassThroughId::Name, &Class::Name, file, stream)},
  return {VELTO_PASS_THROUGH_ROWS(VELTO_METHOD_CALL_)};
#undef VELTO_METHOD_CALL_
}

TEST_F(CenterTest, EveryPassThroughMethodRefusesAtOnceWhileTheConnectionIsBusy) {
  HostStream stream;
  const std::filesystem::path file = ScratchPath("method", ".png");
  std::ofstream(file) << "png";
  const std::vector<MethodCall> methods = EveryMethod(file.u16string(), stream.get());
  ASSERT_EQ(methods.size(), 53u);
  WhileBusy(peer_, [&] {
    for (const MethodCall& method : methods) {
      SCOPED_TRACE(method.name);
      ExpectFailure(
          [&] {
            method.call();
            return std::string();
          },
          Raised::Busy, u"");
    }
  });
  EXPECT_EQ(peer_.Requests().size(), 1u) << "only the held request reached the peer";
  for (const MethodCall& method : methods) {
    SCOPED_TRACE(method.name);
    peer_.Enqueue(ServerReply("100", "{}"));
    EXPECT_NO_THROW(method.call()) << "the connection is idle again";
  }
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace velto::test
