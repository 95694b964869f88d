#include "velto/json_variant.h"

#include <cmath>

#include "json_number_text.h"
#include "velto/json_exceptions.h"
#include "velto/unicode.h"

namespace velto {

Variant Variant::Null() {
  return OfKind(VariantKind::Null);
}

Variant Variant::Currency(double value) {
  Variant made(std::round(value * 10000) / 10000);
  made.kind_ = VariantKind::Currency;
  return made;
}

Variant Variant::Date(double days) {
  Variant made(days);
  made.kind_ = VariantKind::Date;
  return made;
}

Variant Variant::WideString(std::u16string text) {
  Variant made(std::move(text));
  made.kind_ = VariantKind::WideString;
  return made;
}

Variant Variant::OfKind(VariantKind kind) {
  Variant made;
  made.kind_ = kind;
  return made;
}

bool Variant::IsInteger() const {
  return kind_ >= VariantKind::Int8 && kind_ <= VariantKind::UInt64;
}

bool Variant::IsFloat() const {
  return kind_ == VariantKind::Single || kind_ == VariantKind::Double ||
         kind_ == VariantKind::Currency;
}

bool Variant::IsString() const {
  return kind_ == VariantKind::WideString || kind_ == VariantKind::NarrowString ||
         kind_ == VariantKind::UnicodeString;
}

std::u16string Variant::Text() const {
  if (kind_ == VariantKind::NarrowString) return Utf8ToUtf16(std::get<std::string>(value_));
  return std::get<std::u16string>(value_);
}

std::u16string Variant::ToText() const {
  if (IsString()) return Text();
  if (kind_ == VariantKind::UInt64) return FormatInteger(static_cast<int64_t>(UInt64Value()));
  if (IsInteger()) return FormatInteger(Int64Value());
  if (IsFloat()) return FormatFloat(DoubleValue());
  if (kind_ == VariantKind::Boolean) return BooleanValue() ? u"True" : u"False";
  throw ETypeMismatch();
}

int64_t Variant::ToInt64() const {
  if (kind_ == VariantKind::UInt64) return static_cast<int64_t>(UInt64Value());
  if (IsInteger()) return Int64Value();
  if (IsFloat()) return std::llround(DoubleValue());
  if (kind_ == VariantKind::Boolean) return BooleanValue() ? 1 : 0;
  if (IsString()) return ParseInt64(Text());
  throw ETypeMismatch();
}

double Variant::ToDouble() const {
  if (IsFloat()) return DoubleValue();
  if (kind_ == VariantKind::UInt64) return static_cast<double>(UInt64Value());
  if (IsInteger()) return static_cast<double>(Int64Value());
  if (kind_ == VariantKind::Boolean) return BooleanValue() ? 1 : 0;
  if (IsString()) return ParseDouble(Text());
  throw ETypeMismatch();
}

bool Variant::ToBoolean() const {
  if (kind_ == VariantKind::Boolean) return BooleanValue();
  if (IsInteger() || IsFloat()) return ToDouble() != 0;
  if (IsString()) {
    const std::u16string text = Text();
    if (text == u"true" || text == u"True") return true;
    if (text == u"false" || text == u"False") return false;
  }
  throw ETypeMismatch();
}

}  // namespace velto
