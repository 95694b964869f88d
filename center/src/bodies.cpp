#include "velto/bodies.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "velto/exception.h"

namespace velto {

size_t StringBody::Read(char* buffer, size_t capacity) {
  const size_t count = std::min(capacity, bytes_.size() - offset_);
  std::memcpy(buffer, bytes_.data() + offset_, count);
  offset_ += count;
  return count;
}

bool StringBody::Rewind() {
  offset_ = 0;
  return true;
}

void StreamSink::Write(const char* data, size_t size) {
  while (size > 0) {
    const auto count = static_cast<int32_t>(
        std::min<size_t>(size, static_cast<size_t>(std::numeric_limits<int32_t>::max())));
    if (box_.Write(data, count) != count) throw Exception(u"Stream write error");
    data += count;
    size -= static_cast<size_t>(count);
  }
}

}  // namespace velto
