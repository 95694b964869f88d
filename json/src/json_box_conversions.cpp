#include <cstddef>

#include "json_helpers_internal.h"
#include "json_number_text.h"
#include "velto/json_box_record.h"
#include "velto/json_exceptions.h"
#include "velto/json_helpers.h"
#include "velto/json_settings.h"

namespace velto {
namespace {

// The conversion default, or ETypeMismatch when it is null.
const Variant& Fallback(const Variant& setting) {
  if (setting.IsNull()) throw ETypeMismatch();
  return setting;
}

// Plain digits of up to this many characters always fit in 64 bits.
constexpr std::size_t kLongestSureInteger = 18;

bool HasFraction(std::u16string_view characters) {
  // Short plain digits need no formatting to know their text form has no "."; longer ones may
  // be beyond 64 bits and take the general format.
  if (characters.size() <= kLongestSureInteger &&
      characters.find_first_of(u".eE") == characters.npos) {
    return false;
  }
  return NumberTextForm(characters).find(u'.') != std::u16string::npos;
}

template <class Default>
auto ReadOr(JSONValue* content, const TJSONLocation& location, Default fallback) {
  switch (location.Kind) {
    case jlkPath:
      return TJSONObjectHelper::Get(content, location.Path, fallback);
    case jlkIndex:
      return TJSONArrayHelper::Get(content, location.Index, fallback);
    default:
      throw EArgumentInvalid();
  }
}

}  // namespace

TJSONBoxKind TJSONBox::GetKind() const {
  if (!Content) return jbkNull;
  switch (Content->Type()) {
    case JSONType::Boolean:
      return jbkBoolean;
    case JSONType::Number:
      return HasFraction(Content->Text()) ? jbkFloat : jbkInteger;
    case JSONType::String:
      return jbkString;
    case JSONType::Array:
      return jbkArray;
    case JSONType::Object:
      return jbkObject;
    default:
      return jbkUnknown;
  }
}

std::u16string TJSONBox::GetString() const {
  if (!Content) throw ETypeMismatch();
  switch (Content->Type()) {
    case JSONType::String:
      return std::u16string(Content->Text());
    case JSONType::Number:
      return NumberTextForm(Content->Text());
    case JSONType::Boolean:
      return Content->BooleanValue() ? u"true" : u"false";
    case JSONType::Null:
      return u"null";
    default:
      return u"";
  }
}

std::u16string TJSONBox::AsString() const {
  if (Content && Content->IsString()) return std::u16string(Content->Text());
  if (Content && Content->IsNumber()) return NumberTextForm(Content->Text());
  return Fallback(TJSONDefault::String_()).ToText();
}

TJSONBox::operator int32_t() const {
  if (Content && Content->IsNumber()) return ParseInt32(Content->Text());
  return static_cast<int32_t>(Fallback(TJSONDefault::Integer_()).ToInt64());
}

int64_t TJSONBox::AsInteger() const {
  if (Content && Content->IsNumber()) return ParseInt64(Content->Text());
  return Fallback(TJSONDefault::Integer_()).ToInt64();
}

double TJSONBox::AsFloat() const {
  if (Content && Content->IsNumber()) return ParseDouble(Content->Text());
  return Fallback(TJSONDefault::Float_()).ToDouble();
}

bool TJSONBox::AsBoolean() const {
  if (Content && Content->IsBoolean()) return Content->BooleanValue();
  return Fallback(TJSONDefault::Boolean_()).ToBoolean();
}

Variant TJSONBox::AsVariant() const {
  switch (GetKind()) {
    case jbkString:
      return Variant(AsString());
    case jbkInteger:
      return Variant(AsInteger());
    case jbkFloat:
      return Variant(AsFloat());
    case jbkBoolean:
      return Variant(AsBoolean());
    default:
      throw ETypeMismatch();
  }
}

std::u16string TJSONBox::Get(const TJSONLocation& location, std::u16string_view fallback) const {
  return ReadOr(Content, location, fallback);
}

int64_t TJSONBox::Get(const TJSONLocation& location, int64_t fallback) const {
  return ReadOr(Content, location, fallback);
}

double TJSONBox::Get(const TJSONLocation& location, double fallback) const {
  return ReadOr(Content, location, fallback);
}

bool TJSONBox::Get(const TJSONLocation& location, bool fallback) const {
  return ReadOr(Content, location, fallback);
}

std::u16string TextOr(const TJSONBox& box, std::u16string_view fallback) {
  return box.GetKind() == jbkString ? box.AsString() : std::u16string(fallback);
}

int64_t IntegerOr(const TJSONBox& box, int64_t fallback) {
  return box.GetKind() == jbkInteger ? box.AsInteger() : fallback;
}

double FloatOr(const TJSONBox& box, double fallback, bool integerCounts) {
  const TJSONBoxKind kind = box.GetKind();
  return kind == jbkFloat || (integerCounts && kind == jbkInteger) ? box.AsFloat() : fallback;
}

bool BooleanOr(const TJSONBox& box, bool fallback) {
  return box.GetKind() == jbkBoolean ? box.AsBoolean() : fallback;
}

}  // namespace velto
