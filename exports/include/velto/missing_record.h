#pragma once

#include <optional>

#include "velto/velto_error.h"

namespace velto {

// What `read` returns, or nothing when the server answers it with reply_code::kNotFound.
// Every other failure passes on unchanged.
template <typename Read>
auto ReadUnlessMissing(Read read) -> std::optional<decltype(read())> {
  try {
    return read();
  } catch (const EVelto& error) {
    if (error.Code() != reply_code::kNotFound) throw;
  }
  return std::nullopt;
}

}  // namespace velto
