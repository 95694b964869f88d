#pragma once

#include <exception>
#include <string>

namespace velto {

// The base of every failure the library raises. The message is UTF-16 text, as the
// host sees it; what() gives the same text as UTF-8.
class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);

  const std::u16string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::u16string message_;
  std::string utf8_;
};

}  // namespace velto
