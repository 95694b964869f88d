#include "indented_json.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>

#include "printable_text.h"

namespace velto::cli {
namespace {

using IndentingWriter = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

unsigned char Byte(std::string_view text, size_t at) {
  return static_cast<unsigned char>(text[at]);
}

// The reader turns an escaped surrogate without its other half into the three bytes of the
// surrogate itself, which is no UTF-8; it is shown as U+FFFD.
std::string WithoutSurrogates(std::string_view text) {
  std::string mended;
  mended.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    if (Byte(text, at) == 0xED && at + 2 < text.size() && Byte(text, at + 1) >= 0xA0) {
      mended += "\xEF\xBF\xBD";
      at += 2;
    } else {
      mended += text[at];
    }
  }
  return mended;
}

void AppendUnicodeEscape(std::string& out, unsigned char code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\u00";
  out += kHex[code >> 4];
  out += kHex[code & 0xF];
}

// The quoted text as the writer escapes it, and DEL and the C1 controls, which the writer
// keeps as they are, escaped too.
std::string QuotedForTerminal(std::string_view text) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  const std::string mended = WithoutSurrogates(text);
  writer.String(mended.data(), static_cast<rapidjson::SizeType>(mended.size()));
  const std::string_view quoted(buffer.GetString(), buffer.GetSize());
  std::string out;
  out.reserve(quoted.size());
  for (size_t at = 0; at < quoted.size(); ++at) {
    if (Byte(quoted, at) == 0x7F) {
      AppendUnicodeEscape(out, 0x7F);
    } else if (IsC1Control(quoted, at)) {
      AppendUnicodeEscape(out, Byte(quoted, ++at));  // the second byte names the control
    } else {
      out += quoted[at];
    }
  }
  return out;
}

// Deeper nesting is not laid out again: every level's margin repeats on each line below it,
// so a few hundred kilobytes of it would make gigabytes of text.
constexpr size_t kMaxLaidOutDepth = 100;

// The writer, but a number's characters go out as they came in (a 20-digit id or 0.10 must
// not be rounded or reformatted on the way to the screen), texts come out safe to show, and
// nesting deeper than kMaxLaidOutDepth stops the writing.
class TerminalWriter : public IndentingWriter {
 public:
  using IndentingWriter::IndentingWriter;
  bool StartObject() { return MayOpen() && IndentingWriter::StartObject(); }
  bool StartArray() { return MayOpen() && IndentingWriter::StartArray(); }
  bool RawNumber(const Ch* text, rapidjson::SizeType length, bool) {
    return RawValue(text, length, rapidjson::kNumberType);
  }
  bool String(const Ch* text, rapidjson::SizeType length, bool) {
    const std::string quoted = QuotedForTerminal({text, length});
    return RawValue(quoted.data(), quoted.size(), rapidjson::kStringType);
  }
  bool Key(const Ch* text, rapidjson::SizeType length, bool copy) {
    return String(text, length, copy);
  }

 private:
  // The writer's own stack of open containers tells the depth.
  bool MayOpen() const { return level_stack_.GetSize() / sizeof(Level) < kMaxLaidOutDepth; }
};

}  // namespace

std::optional<std::string> IndentedJson(std::string_view text) {
  // The reader takes a NUL for the end of its input; a text holding one is not JSON here.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  rapidjson::StringBuffer buffer;
  TerminalWriter writer(buffer);
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
