#include "json_body.h"

#include "ids.h"
#include "json_limits.h"
#include "utf8.h"

namespace velto::server {
namespace {

// Collects the members of the top-level object; a member that is an object or an array is
// written back out as compact JSON text while it is read.
class FieldsReader {
 public:
  using Ch = char;

  Fields& fields() { return fields_; }
  const char* fault() const { return fault_; }

  bool Null() {
    return Scalar("", 0, [this] { return member_.Null(); });
  }
  bool Bool(bool value) {
    return Scalar("", 0, [&] { return member_.Bool(value); });
  }
  bool Int(int) { return false; }  // numbers arrive as their text
  bool Uint(unsigned) { return false; }
  bool Int64(std::int64_t) { return false; }
  bool Uint64(std::uint64_t) { return false; }
  bool Double(double) { return false; }
  bool RawNumber(const Ch* text, rapidjson::SizeType size, bool) {
    // The writer's own RawNumber would quote the number; its characters go out as they came.
    return Scalar(text, size, [&] { return member_.RawValue(text, size, rapidjson::kNumberType); });
  }
  bool String(const Ch* text, rapidjson::SizeType size, bool copy) {
    if (!IsText(text, size)) return false;
    return Scalar(text, size, [&] { return member_.String(text, size, copy); });
  }
  bool Key(const Ch* text, rapidjson::SizeType size, bool copy) {
    if (!IsText(text, size)) return false;
    if (depth_ == 1) {
      name_.assign(text, size);
      return true;
    }
    return member_.Key(text, size, copy);
  }
  bool StartObject() {
    return Open(true, [this] { return member_.StartObject(); });
  }
  bool EndObject(rapidjson::SizeType members) {
    return Close([&] { return member_.EndObject(members); });
  }
  bool StartArray() {
    return Open(false, [this] { return member_.StartArray(); });
  }
  bool EndArray(rapidjson::SizeType elements) {
    return Close([&] { return member_.EndArray(elements); });
  }

 private:
  static constexpr const char* kNotAnObject = "the body is not a JSON object";

  bool IsText(const Ch* text, rapidjson::SizeType size) {
    if (IsUtf8({text, size})) return true;
    fault_ = "text that is not UTF-8";
    return false;
  }

  // A value: a member's own when it stands at the top, else part of the member being written.
  template <typename Write>
  bool Scalar(const Ch* text, rapidjson::SizeType size, Write write) {
    if (depth_ == 0) {
      fault_ = kNotAnObject;
      return false;
    }
    if (depth_ == 1) {
      fields_[name_].assign(text, size);
      return true;
    }
    return write();
  }

  template <typename Write>
  bool Open(bool object, Write write) {
    if (depth_ == 0 && !object) {
      fault_ = kNotAnObject;
      return false;
    }
    if (++depth_ == 1) return true;
    if (depth_ == 2) {
      buffer_.Clear();
      member_.Reset(buffer_);
    }
    return write();
  }

  template <typename Write>
  bool Close(Write write) {
    --depth_;
    if (depth_ == 0) return true;
    if (!write()) return false;
    if (depth_ == 1) fields_[name_].assign(buffer_.GetString(), buffer_.GetSize());
    return true;
  }

  Fields fields_;
  std::string name_;
  rapidjson::StringBuffer buffer_;
  JsonWriter member_{buffer_};
  int depth_ = 0;
  const char* fault_ = nullptr;
};

[[noreturn]] void Refuse(const std::string& why) {
  throw ReplyError(ReplyCode::kBadRequest, "Bad request: " + why);
}

}  // namespace

Fields ParseObject(std::string_view body) {
  FieldsReader reader;
  const std::string error = ParseJson(body, reader);
  if (reader.fault() != nullptr) Refuse(reader.fault());
  if (!error.empty()) Refuse(error);
  RequireAddressableIds(reader.fields());
  return std::move(reader.fields());
}

}  // namespace velto::server
