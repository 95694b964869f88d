// The JSON box driven by fuzzed paths, indexes and values: reads, writes, pushes, deletes
// and copies on a document read from the input, one operation after the other on the box the
// last one gave. The failures the box raises by design (velto::Exception) are expected; any
// other exception, a crash or a leak is a fault. At the end the document must still be
// written as text that reads back as the same document.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "json_parser.h"
#include "velto/json_box.h"

namespace {

using namespace velto;

constexpr size_t kMaxText = 48;
constexpr int kMaxOperations = 64;

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
TJSONBox Operate(TJSONBox& root, const TJSONBox& box, FuzzedDataProvider& input) {
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
      return box <= root;
    case 9:
      (void)(TJSONStream(box) <= JSONPair(FuzzedText(input), FuzzedValue(input)));
      return box;
    case 10:
      return root.Fill(FuzzedValue(input));
    default:
      ReadAll(box, input);
      return root;
  }
}

// The document as written, read back and written again, must give the same text.
void CheckRoundTrip(const TJSONBox& root) {
  if (root.Empty()) return;
  const std::u16string written = root.Stringify();
  const JSONValuePtr again = ParseJSON(written);
  if (!again) fuzz::Fail("the written document does not read back", written);
  if (JSONStringify(again.get()) != written)
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
  for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i) {
    try {
      box = Operate(root, box, input);
    } catch (const Exception&) {
      box = root;
    }
  }
  CheckRoundTrip(root);
  return 0;
}
