#include "utf8.h"

#include <rapidjson/encodings.h>
#include <rapidjson/memorystream.h>

namespace velto::server {

bool IsUtf8(std::string_view text) {
  rapidjson::MemoryStream stream(text.data(), text.size());
  while (stream.Tell() < text.size()) {
    unsigned code_point = 0;
    // Past the end the stream gives NUL bytes, which fail a cut-off sequence.
    if (!rapidjson::UTF8<>::Decode(stream, &code_point)) return false;
  }
  return true;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

}  // namespace velto::server
