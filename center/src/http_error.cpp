#include "velto/http_error.h"

#include "velto/unicode.h"

namespace velto {

EHttpError::EHttpError(int status, std::string_view status_line)
    : Exception(Utf8ToUtf16(status_line)), status_(status) {}

}  // namespace velto
