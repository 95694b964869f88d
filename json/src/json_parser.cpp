#include "json_parser.h"

#include <rapidjson/reader.h>

#include <string>
#include <vector>

#include "velto/unicode.h"

namespace velto {
namespace {

// Builds our document from the reader's events. Containers are attached to their parent when they
// open, so the open ones are tracked as plain pointers and a failed parse leaves one tree to drop.
class DocumentBuilder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentBuilder> {
 public:
  JSONValuePtr TakeRoot() { return std::move(root_); }

  bool Null() { return Add(JSONValue::Null()); }
  bool Bool(bool value) { return Add(JSONValue::Boolean(value)); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    return Add(JSONValue::Number(std::u16string(text, text + length)));
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    return Add(JSONValue::String(Utf8ToUtf16(std::string_view(text, length))));
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    key_ = Utf8ToUtf16(std::string_view(text, length));
    return true;
  }
  bool StartObject() { return Open(JSONValue::Object()); }
  bool EndObject(rapidjson::SizeType) { return Close(); }
  bool StartArray() { return Open(JSONValue::Array()); }
  bool EndArray(rapidjson::SizeType) { return Close(); }

 private:
  JSONValue* Attach(JSONValuePtr value) {
    JSONValue* attached = value.get();
    if (open_.empty()) {
      root_ = std::move(value);
    } else if (open_.back()->IsObject()) {
      open_.back()->AppendMember(std::move(key_), std::move(value));
      key_.clear();
    } else {
      open_.back()->Elements().push_back(std::move(value));
    }
    return attached;
  }
  bool Add(JSONValuePtr value) {
    Attach(std::move(value));
    return true;
  }
  bool Open(JSONValuePtr container) {
    open_.push_back(Attach(std::move(container)));
    return true;
  }
  bool Close() {
    open_.pop_back();
    return true;
  }

  JSONValuePtr root_;
  std::vector<JSONValue*> open_;
  std::u16string key_;
};

}  // namespace

JSONValuePtr ParseJSON(std::u16string_view text) {
  const std::string utf8 = Utf16ToUtf8(text);
  // The reader takes NUL as the end of input; a NUL is never valid JSON text anyway, so refusing it
  // here keeps "{}\0junk" from passing as "{}".
  if (utf8.find('\0') != std::string::npos) return nullptr;
  DocumentBuilder builder;
  rapidjson::Reader reader;
  rapidjson::StringStream stream(utf8.c_str());
  constexpr unsigned kFlags = rapidjson::kParseIterativeFlag |
                              rapidjson::kParseNumbersAsStringsFlag |
                              rapidjson::kParseValidateEncodingFlag;
  if (reader.Parse<kFlags>(stream, builder).IsError()) return nullptr;
  return builder.TakeRoot();
}

}  // namespace velto
