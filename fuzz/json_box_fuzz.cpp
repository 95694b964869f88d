// The JSON box driven by fuzzed paths, indexes and values: reads, writes, pushes, deletes
// and copies on a document read from the input, one operation after the other on the box the
// last one gave. The failures the box raises by design (velto::Exception) are expected; any
// other exception, a crash or a leak is a fault. At the end the document must still be
// written as text that reads back as the same document.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "json_parser.h"
#include "velto/json_box.h"

namespace {

using namespace velto;

constexpr size_t kMaxText = 48;
constexpr int kMaxOperations = 64;
// Each copy of the document into itself doubles it: a few show the case, more only take time.
constexpr int kMaxSelfCopies = 3;

std::u16string FuzzedText(FuzzedDataProvider& input) {
  return fuzz::HostText(input.ConsumeRandomLengthString(kMaxText));
}

// Any double, infinities and NaN included (they must be refused).
double FuzzedDouble(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return INFINITY;
    case 1:
      return NAN;
    default:
      return input.ConsumeFloatingPoint<double>();
  }
}

// The kinds a host can hand over that never become JSON values, and a date.
const Variant kKindsWithoutPayload[] = {Variant(),
                                        Variant::OfKind(VariantKind::Error),
                                        Variant::OfKind(VariantKind::Dispatch),
                                        Variant::OfKind(VariantKind::NestedVariant),
                                        Variant::OfKind(VariantKind::Array),
                                        Variant::Date(45000.5)};

Variant FuzzedValue(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 10)) {
    case 0:
      return input.ConsumeIntegral<int32_t>();
    case 1:
      return input.ConsumeIntegral<int64_t>();
    case 2:
      return input.ConsumeIntegral<uint64_t>();
    case 3:
      return FuzzedDouble(input);
    case 4:
      return Variant::Currency(FuzzedDouble(input));
    case 5:
      return input.ConsumeBool();
    case 6:
      return Variant::Null();
    case 7:
      return input.PickValueInArray(kKindsWithoutPayload);
    case 8:
      return JSONObject(FuzzedText(input));
    case 9:
      return JSONArray(FuzzedText(input));
    default:
      return FuzzedText(input);
  }
}

// Mostly a dotted path or a small index; now and then a value no location may be made of.
TJSONLocation FuzzedLocation(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return TJSONLocation(FuzzedValue(input));
    case 1:
    case 2:
      return TJSONLocation(input.ConsumeIntegralInRange<int32_t>(-2, 6));
    default:
      return TJSONLocation(FuzzedText(input));
  }
}

std::vector<Variant> FuzzedValues(FuzzedDataProvider& input) {
  std::vector<Variant> values(input.ConsumeIntegralInRange<size_t>(0, 4));
  for (Variant& value : values) value = FuzzedValue(input);
  return values;
}

// Every read a host makes of one place; none may change the document.
void ReadAll(const TJSONBox& box, FuzzedDataProvider& input) {
  const TJSONLocation location = FuzzedLocation(input);
  (void)box.Exists(location);
  (void)box.Get(location, u"fallback");
  (void)box.Get(location, int64_t{-1});
  (void)box.Get(location, 0.5);
  (void)box.Get(location, true);
  (void)box.GetKind();
  (void)box.Stringify();
  const auto reads = {+[](const TJSONBox& b) { (void)b.AsString(); },
                      +[](const TJSONBox& b) { (void)b.AsInteger(); },
                      +[](const TJSONBox& b) { (void)b.AsFloat(); },
                      +[](const TJSONBox& b) { (void)b.AsBoolean(); },
                      +[](const TJSONBox& b) { (void)b.AsVariant(); },
                      +[](const TJSONBox& b) { (void)b.GetString(); },
                      +[](const TJSONBox& b) { (void)static_cast<int32_t>(b); },
                      +[](const TJSONBox& b) { (void)b.GetCount(); }};
  for (const auto read : reads) {
    try {
      read(box);
    } catch (const Exception&) {
    }
  }
}

// One operation on `box`; returns the box the next one works on. A write replaces or removes
// values, which leaves other boxes on them stale, so only the box a write returns (or the
// root) is used after it.
TJSONBox Operate(TJSONBox& root, const TJSONBox& box, FuzzedDataProvider& input, int& self_copies) {
  switch (input.ConsumeIntegralInRange(0, 11)) {
    case 0:
      return box.Get(FuzzedLocation(input));
    case 1:
      return box.Put(FuzzedText(input), FuzzedValue(input));
    case 2:
      return box.Put(input.ConsumeIntegralInRange<int32_t>(-2, 6), FuzzedValue(input));
    case 3:
      return box.Push(FuzzedValue(input));
    case 4:
      return box.Push(FuzzedValues(input));
    case 5:
      box.Delete(FuzzedText(input));
      return box;
    case 6:
      box.Delete(input.ConsumeIntegralInRange<int32_t>(-2, 6));
      return box;
    case 7:
      return box <= FuzzedValue(input);
    case 8:
      // The whole document copied into one of its own places.
      if (++self_copies > kMaxSelfCopies) return box;
      return box <= root;
    case 9:
      TJSONStream(box) <= JSONPair(FuzzedText(input), FuzzedValue(input));
      return box;
    case 10:
      return root.Fill(FuzzedValue(input));
    default:
      ReadAll(box, input);
      return root;
  }
}

std::optional<char16_t> EscapedUnit(std::u16string_view text, size_t at) {
  if (text.size() < at + 6 || text.substr(at, 2) != u"\\u") return std::nullopt;
  char16_t unit = 0;
  for (const char16_t digit : text.substr(at + 2, 4)) {
    const int value = digit <= u'9' ? digit - u'0' : (digit | 0x20) - u'a' + 10;
    unit = static_cast<char16_t>(unit << 4 | value);
  }
  return unit;
}

bool IsHighSurrogate(std::optional<char16_t> unit) {
  return unit && *unit >= 0xD800 && *unit <= 0xDBFF;
}

bool IsLowSurrogate(std::optional<char16_t> unit) {
  return unit && *unit >= 0xDC00 && *unit <= 0xDFFF;
}

// Written text with each unpaired surrogate escape as U+FFFD, which is how the reader takes
// it: a host may put such text into a document, and it cannot come back as it was.
std::u16string AsReadBack(std::u16string_view written) {
  std::u16string out;
  size_t at = 0;
  while (at < written.size()) {
    if (written[at] != u'\\') {
      out.push_back(written[at++]);
      continue;
    }
    const std::optional<char16_t> unit = EscapedUnit(written, at);
    size_t length = unit ? 6 : 2;
    if (IsHighSurrogate(unit) && IsLowSurrogate(EscapedUnit(written, at + 6))) {
      length = 12;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      out += u"\\uFFFD";
      at += length;
      continue;
    }
    out += written.substr(at, length);
    at += length;
  }
  return out;
}

// The document as written, read back and written again, must give the same text.
void CheckRoundTrip(const TJSONBox& root) {
  if (root.Empty()) return;
  const std::u16string written = root.Stringify();
  const JSONValuePtr again = ParseJSON(written);
  if (!again) fuzz::Fail("the written document does not read back", written);
  if (JSONStringify(again.get()) != AsReadBack(written))
    fuzz::Fail("the document reads back differently", written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  TJSONBox root = TJSONBox::Create(JSONObject());
  JSONRootGuard guard(root);
  try {
    root.Fill(JSONObject(fuzz::HostText(input.ConsumeRandomLengthString(4 * kMaxText))));
  } catch (const Exception&) {
  }
  TJSONBox box = root;
  int self_copies = 0;
  for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i) {
    try {
      box = Operate(root, box, input, self_copies);
    } catch (const Exception&) {
      box = root;
    }
  }
  CheckRoundTrip(root);
  return 0;
}
