#pragma once

#include <optional>

#include "velto/velto_error.h"

namespace velto {

// What `read` returns, or nothing when the server answers it with the code "301", which
// says that the record does not exist. Every other failure passes on unchanged.
template <typename Read>
auto ReadUnlessMissing(Read read) -> std::optional<decltype(read())> {
  try {
    return read();
  } catch (const EVelto& error) {
    if (error.Code() != u"301") throw;
  }
  return std::nullopt;
}

}  // namespace velto
