#pragma once

#include <string_view>

#include "velto/exception.h"

namespace velto {

// A reply whose status is not 2xx. The message is the reply's status line exactly as
// received, such as "HTTP/1.1 404 Not Found".
class EHttpError : public Exception {
 public:
  EHttpError(int status, std::string_view status_line);

  int StatusCode() const { return status_; }

 private:
  int status_;
};

}  // namespace velto
