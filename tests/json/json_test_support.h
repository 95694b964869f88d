#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <string_view>

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

// Sets a load-time setting for one test and restores every setting afterwards.
class ScopedSettings {
 public:
  ScopedSettings() = default;
  ScopedSettings(const ScopedSettings&) = delete;
  ~ScopedSettings() { UnitOpen(); }
};

// A box's value as compact text.
inline std::u16string Compact(const TJSONBox& box) {
  const std::u16string saved = TJSONStringifier::Margin();
  TJSONStringifier::Margin() = u"";
  std::u16string text = box.Stringify();
  TJSONStringifier::Margin() = saved;
  return text;
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
