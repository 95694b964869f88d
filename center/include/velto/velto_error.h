#pragma once

#include <string>
#include <string_view>

#include "velto/exception.h"
#include "velto/json_box.h"

namespace velto {

// The reply codes the library acts on; every other code is passed on as it came.
namespace reply_code {
inline constexpr std::u16string_view kSuccess = u"100";
inline constexpr std::u16string_view kNotFound = u"301";  // the record does not exist
}  // namespace reply_code

// A server reply whose "code" is not reply_code::kSuccess. Reads "[code] message".
class EVelto : public Exception {
 public:
  explicit EVelto(const TJSONBox& value);
  EVelto(std::u16string code, std::u16string message);

  const std::u16string& Code() const { return code_; }
  const std::u16string& ServerMessage() const { return message_; }

  // Raises an EVelto made from the parsed reply unless its "code" is reply_code::kSuccess.
  static void Check(const TJSONBox& value);

 private:
  std::u16string code_;
  std::u16string message_;
};

}  // namespace velto
