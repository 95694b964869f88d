#include "indented_json.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>

namespace velto::cli {
namespace {

using IndentingWriter = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

// The writer, but a number's characters go out as they came in: a 20-digit id or 0.10
// must not be rounded or reformatted on the way to the screen.
class ExactNumbers : public IndentingWriter {
 public:
  using IndentingWriter::IndentingWriter;
  bool RawNumber(const Ch* text, rapidjson::SizeType length, bool) {
    return RawValue(text, length, rapidjson::kNumberType);
  }
};

}  // namespace

std::optional<std::string> IndentedJson(std::string_view text) {
  // The reader takes a NUL for the end of its input; a text holding one is not JSON here.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  rapidjson::StringBuffer buffer;
  ExactNumbers writer(buffer);
  writer.SetIndent(' ', 2);
  rapidjson::MemoryStream input(text.data(), text.size());
  rapidjson::Reader reader;
  constexpr unsigned kFlags = rapidjson::kParseNumbersAsStringsFlag |
                              rapidjson::kParseValidateEncodingFlag |
                              rapidjson::kParseIterativeFlag;
  if (reader.Parse<kFlags>(input, writer).IsError()) return std::nullopt;
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace velto::cli
