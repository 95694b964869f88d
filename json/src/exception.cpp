#include "velto/exception.h"

#include "velto/unicode.h"

namespace velto {

Exception::Exception(std::u16string message)
    : message_(std::move(message)), utf8_(Utf16ToUtf8(message_)) {}

}  // namespace velto
