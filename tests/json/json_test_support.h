#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "velto/json_box.h"
#include "velto/unicode.h"

namespace velto::testing {

// A root box parsed from an object or array text, freed with the fixture.
class Doc {
 public:
  explicit Doc(std::u16string_view json)
      : box(TJSONBox::Create(json.starts_with(u"[") ? Variant(JSONArray(json))
                                                    : Variant(JSONObject(json)))),
        guard_(box) {}
  Doc(Doc&&) = delete;

  // The document as compact text.
  std::u16string Compact() const;

  TJSONBox box;

 private:
  JSONRootGuard guard_;
};

// Restores every setting to its load value when the scope ends, also when a check fails.
class ScopedSettings {
 public:
  ScopedSettings() = default;
  ScopedSettings(const ScopedSettings&) = delete;
  ~ScopedSettings() { UnitOpen(); }
};

// Gives one setting another value for the scope and puts the old one back when it ends, also when
// a check fails or a call throws, so no test leaks a setting into the next.
template <class T>
class ScopedValue {
 public:
  ScopedValue(T& setting, T value) : setting_(setting), saved_(std::exchange(setting, value)) {}
  ScopedValue(const ScopedValue&) = delete;
  ~ScopedValue() { setting_ = std::move(saved_); }

 private:
  T& setting_;
  T saved_;
};

// What `action` returns while TJSONBox::Check is off.
template <class Action>
auto Unchecked(const Action& action) {
  const ScopedValue<bool> unchecked(TJSONBox::Check, false);
  return action();
}

// A box's value as compact text.
inline std::u16string Compact(const TJSONBox& box) {
  const ScopedValue<std::u16string> compact(TJSONStringifier::Margin(), u"");
  return box.Stringify();
}

inline std::u16string Doc::Compact() const {
  return testing::Compact(box);
}

// The message of the velto::Exception that `action` raises, or "(nothing raised)".
inline std::u16string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& failure) {
    return failure.Message();
  }
  return u"(nothing raised)";
}

// Joins texts; plain appends keep g++ 12 from misreading string concatenation at -O3.
template <class... Parts>
std::u16string Join(const Parts&... parts) {
  std::u16string joined;
  (joined.append(std::u16string_view(parts)), ...);
  return joined;
}

// A test name from a table row's label.
inline std::string CaseName(std::string label) {
  for (char& c : label) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return label;
}

// Names the rows of a table by their index and the first characters of one text of theirs
// (the index keeps apart rows whose texts read alike), instead of by their raw bytes.
template <auto Text>
struct NamedBy {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return CaseName(std::to_string(row.index) + "_" + Utf16ToUtf8(row.param.*Text).substr(0, 24));
  }
};

}  // namespace velto::testing
