#include "velto/failure_message.h"

#include <exception>
#include <new>

#include "velto/exception.h"
#include "velto/host_failure.h"
#include "velto/unicode.h"

namespace velto {

std::u16string CurrentFailureMessage() {
  try {
    throw;
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::bad_alloc&) {
    return std::u16string(kOutOfMemoryMessage);
  } catch (const std::exception& error) {
    return Utf8ToUtf16(error.what());
  } catch (...) {
    return u"Unknown failure";
  }
}

const std::u16string& KeepCurrentFailure() noexcept {
  try {
    return KeepHostFailure(CurrentFailureMessage());
  } catch (...) {
    return KeepHostFailure(kOutOfMemoryMessage);
  }
}

}  // namespace velto
