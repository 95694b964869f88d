#pragma once

#include <cstdint>
#include <string_view>

namespace velto::server {

// What a download answers to a request's "Range" header, for a file of `size` bytes.
struct ByteRange {
  enum class Answer {
    kWhole,          // 200 with every byte: no range, one that is not understood, or several
    kPart,           // 206 with bytes first..last
    kUnsatisfiable,  // 416 with "Content-Range: bytes */size"
  };
  Answer answer = Answer::kWhole;
  std::uint64_t first = 0;
  std::uint64_t last = 0;  // inclusive

  std::uint64_t length() const { return last - first + 1; }
};

// One range of bytes is served; several get the whole file, which a client must accept.
// `range` is the header's value, empty when there is none.
ByteRange RangeOf(std::string_view range, std::uint64_t size);

}  // namespace velto::server
