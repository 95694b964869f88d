#pragma once

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <string>
#include <string_view>

namespace velto::server {

// No record needs more; deeper documents are refused before anything reads them recursively.
inline constexpr int kMaxJsonDepth = 512;

// Forwards the events of a parse to `Inner` and stops the parse at the first object or array
// nested deeper than kMaxJsonDepth.
template <typename Inner>
class DepthLimit {
 public:
  using Ch = char;
  explicit DepthLimit(Inner& inner) : inner_(inner) {}
  bool too_deep() const { return too_deep_; }

  bool Null() { return inner_.Null(); }
  bool Bool(bool value) { return inner_.Bool(value); }
  bool Int(int value) { return inner_.Int(value); }
  bool Uint(unsigned value) { return inner_.Uint(value); }
  bool Int64(std::int64_t value) { return inner_.Int64(value); }
  bool Uint64(std::uint64_t value) { return inner_.Uint64(value); }
  bool Double(double value) { return inner_.Double(value); }
  bool RawNumber(const Ch* text, rapidjson::SizeType size, bool copy) {
    return inner_.RawNumber(text, size, copy);
  }
  bool String(const Ch* text, rapidjson::SizeType size, bool copy) {
    return inner_.String(text, size, copy);
  }
  bool Key(const Ch* text, rapidjson::SizeType size, bool copy) {
    return inner_.Key(text, size, copy);
  }
  bool StartObject() { return Enter() && inner_.StartObject(); }
  bool EndObject(rapidjson::SizeType members) {
    --depth_;
    return inner_.EndObject(members);
  }
  bool StartArray() { return Enter() && inner_.StartArray(); }
  bool EndArray(rapidjson::SizeType elements) {
    --depth_;
    return inner_.EndArray(elements);
  }

 private:
  bool Enter() {
    too_deep_ = ++depth_ > kMaxJsonDepth;
    return !too_deep_;
  }

  Inner& inner_;
  int depth_ = 0;
  bool too_deep_ = false;
};

// Parses `text` as one JSON document into `handler`: iteratively, so that no nesting can
// exhaust the stack, with numbers as their text. Returns what is wrong with the text, or
// nothing when the handler took it all (a handler that stops the parse explains itself).
template <typename Handler>
std::string ParseJson(std::string_view text, Handler& handler) {
  DepthLimit<Handler> limited(handler);
  rapidjson::MemoryStream stream(text.data(), text.size());
  rapidjson::Reader reader;
  const rapidjson::ParseResult result =
      reader.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag>(stream,
                                                                                           limited);
  if (limited.too_deep()) {
    return "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels";
  }
  if (result.IsError()) return rapidjson::GetParseError_En(result.Code());
  // The reader takes a NUL byte for the end of the text.
  if (stream.Tell() != text.size()) return "a NUL byte in the text";
  return {};
}

// Whether `text` is JSON nested deeper than kMaxJsonDepth; text that is no JSON is not.
inline bool NestsTooDeep(std::string_view text) {
  rapidjson::BaseReaderHandler<> ignore;
  DepthLimit limited(ignore);
  rapidjson::MemoryStream stream(text.data(), text.size());
  rapidjson::Reader().Parse<rapidjson::kParseIterativeFlag>(stream, limited);
  return limited.too_deep();
}

}  // namespace velto::server
