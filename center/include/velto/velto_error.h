#pragma once

#include <string>

#include "velto/exception.h"
#include "velto/json_box.h"

namespace velto {

// A server reply whose "code" is not "100". Reads "[code] message".
class EVelto : public Exception {
 public:
  explicit EVelto(const TJSONBox& value);
  EVelto(std::u16string code, std::u16string message);

  const std::u16string& Code() const { return code_; }
  const std::u16string& ServerMessage() const { return message_; }

  // Raises an EVelto made from the parsed reply unless its "code" reads "100".
  static void Check(const TJSONBox& value);

 private:
  std::u16string code_;
  std::u16string message_;
};

}  // namespace velto
