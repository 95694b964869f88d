#include "json_parser.h"

#include "json_node_arena.h"

// A lone low surrogate written as an escape reaches the encoder, whose debug check would abort;
// the builder below replaces it instead, so the check is not wanted here.
#define RAPIDJSON_ASSERT(x) static_cast<void>(0)
#include <rapidjson/reader.h>

#include <string>
#include <vector>

namespace velto {
namespace {

using Utf16 = rapidjson::UTF16<char16_t>;
using SizeType = rapidjson::SizeType;

constexpr char16_t kReplacement = 0xFFFD;

// Reads the caller's text in place; the reader sees NUL at the end.
class TextStream {
 public:
  using Ch = char16_t;
  TextStream(const char16_t* begin, const char16_t* end) : head_(begin), at_(begin), end_(end) {}

  Ch Peek() const { return at_ != end_ ? *at_ : Ch{}; }
  Ch Take() { return at_ != end_ ? *at_++ : Ch{}; }
  size_t Tell() const { return static_cast<size_t>(at_ - head_); }
  // Only in-place parsing writes to the input; this reader never does.
  Ch* PutBegin() { return nullptr; }
  void Put(Ch) {}
  void Flush() {}
  size_t PutEnd(Ch*) { return 0; }

  const char16_t* head_;
  const char16_t* at_;
  const char16_t* end_;
};

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// Replaces every unpaired surrogate with U+FFFD, as encoding the text to UTF-8 and back does.
void ReplaceUnpairedSurrogates(char16_t* at, const char16_t* end) {
  for (; at != end; ++at) {
    if (!IsSurrogate(*at)) continue;
    if (IsHighSurrogate(*at) && at + 1 != end && IsLowSurrogate(at[1])) {
      ++at;
    } else {
      *at = kReplacement;
    }
  }
}

bool HasUnpairedSurrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsSurrogate(text[i])) continue;
    if (!IsHighSurrogate(text[i]) || i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) {
      return true;
    }
    ++i;
  }
  return false;
}

// Whether any unit is a surrogate; written without an early exit so that it runs vectorised.
bool HasSurrogate(std::u16string_view text) {
  bool found = false;
  for (const char16_t unit : text) found |= IsSurrogate(unit);
  return found;
}

// What `make` makes of a string's text; an escaped surrogate without its partner becomes U+FFFD.
template <class Make>
auto FromText(const char16_t* text, SizeType length, const Make& make) {
  const std::u16string_view read(text, length);
  if (!HasSurrogate(read)) return make(read);
  std::u16string mended(read);
  ReplaceUnpairedSurrogates(mended.data(), mended.data() + mended.size());
  return make(std::u16string_view(mended));
}

bool HasNul(std::u16string_view text) {
  bool found = false;
  for (const char16_t unit : text) found |= unit == 0;
  return found;
}

// Builds our document from the reader's events. Values wait on one flat stack until their
// container closes; the container then takes them into a list of exactly their count. A failed
// parse leaves only that flat stack to drop.
class DocumentBuilder : public rapidjson::BaseReaderHandler<Utf16, DocumentBuilder> {
 public:
  explicit DocumentBuilder(const TextStream& stream) : stream_(stream) {}

  JSONValuePtr TakeRoot() { return std::move(pending_.back().Value); }

  bool Null() { return Add(JSONValue::Null()); }
  bool Bool(bool value) { return Add(JSONValue::Boolean(value)); }
  bool Int(int) { return AddNumber(); }
  bool Uint(unsigned) { return AddNumber(); }
  bool Int64(int64_t) { return AddNumber(); }
  bool Uint64(uint64_t) { return AddNumber(); }
  bool Double(double) { return AddNumber(); }
  bool String(const char16_t* text, SizeType length, bool) {
    return Add(
        FromText(text, length, [](std::u16string_view read) { return JSONValue::String(read); }));
  }
  bool Key(const char16_t* text, SizeType length, bool) {
    key_ = FromText(text, length, [](std::u16string_view read) { return JSONText(read); });
    return true;
  }
  bool StartObject() { return Open(); }
  bool StartArray() { return Open(); }
  bool EndObject(SizeType count) {
    auto container = JSONValue::Object();
    auto& members = container->Members();
    members.reserve(count);
    for (auto it = pending_.end() - count; it != pending_.end(); ++it) {
      members.push_back(std::move(*it));
    }
    return Close(std::move(container), count);
  }
  bool EndArray(SizeType count) {
    auto container = JSONValue::Array();
    auto& elements = container->Elements();
    elements.reserve(count);
    for (auto it = pending_.end() - count; it != pending_.end(); ++it) {
      elements.push_back(std::move(it->Value));
    }
    return Close(std::move(container), count);
  }

 private:
  static bool IsNumberCharacter(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'+' || unit == u'.' ||
           unit == u'e' || unit == u'E';
  }
  // The number's exact characters, found from the read position: the reader works on a copy of
  // the stream while it takes a number, so the position is still at its first character (or, if
  // the copy is not made, just after its last). No character next to a number can be part of one.
  bool AddNumber() {
    const char16_t* begin = stream_.at_;
    const char16_t* end = begin;
    if (begin != stream_.end_ && IsNumberCharacter(*begin)) {
      while (end != stream_.end_ && IsNumberCharacter(*end)) ++end;
    } else {
      while (begin != stream_.head_ && IsNumberCharacter(begin[-1])) --begin;
    }
    return Add(JSONValue::Number(std::u16string_view(begin, static_cast<size_t>(end - begin))));
  }
  bool Add(JSONValuePtr value) {
    pending_.push_back(JSONMember{std::move(key_), std::move(value)});
    return true;
  }
  // The member name of a container is known before it opens and kept until it closes.
  bool Open() {
    names_.push_back(std::move(key_));
    return true;
  }
  bool Close(JSONValuePtr container, SizeType count) {
    pending_.resize(pending_.size() - count);
    key_ = std::move(names_.back());
    names_.pop_back();
    return Add(std::move(container));
  }

  const TextStream& stream_;
  std::vector<JSONMember> pending_;
  std::vector<JSONText> names_;
  JSONText key_;
};

}  // namespace
}  // namespace velto

namespace rapidjson {
template <>
struct StreamTraits<velto::TextStream> {
  enum { copyOptimization = 1 };
};
}  // namespace rapidjson

namespace velto {

JSONValuePtr ParseJSON(std::u16string_view text) {
  // The reader takes NUL as the end of input; a NUL is never valid JSON text anyway, so refusing it
  // here keeps "{}\0junk" from passing as "{}".
  if (HasNul(text)) return nullptr;
  // Unpaired surrogates become U+FFFD first, as encoding the text as UTF-8 would make them; such
  // text is rare, so the text is otherwise read where it is.
  std::u16string mended;
  if (HasSurrogate(text) && HasUnpairedSurrogate(text)) {
    mended.assign(text);
    ReplaceUnpairedSurrogates(mended.data(), mended.data() + mended.size());
    text = mended;
  }
  const NodeArenaScope arena;
  TextStream stream(text.data(), text.data() + text.size());
  DocumentBuilder builder(stream);
  rapidjson::GenericReader<Utf16, Utf16> reader;
  constexpr unsigned kFlags = rapidjson::kParseIterativeFlag;
  if (reader.Parse<kFlags>(stream, builder).IsError()) return nullptr;
  return builder.TakeRoot();
}

}  // namespace velto
