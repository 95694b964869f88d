// Parse, deep copy and indented write of a server reply of about 1 MB, against RapidJSON's
// Document::Parse and PrettyWriter of the same text.

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "velto/json_box.h"
#include "velto/unicode.h"

namespace {

constexpr int kPersons = 2800;

// A small deterministic generator, so every run sees the same reply.
class Random {
 public:
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33) % bound;
  }

 private:
  uint64_t state_ = 20261210;
};

const char* Pick(Random& random, std::initializer_list<const char*> choices) {
  return choices.begin()[random.Next(static_cast<uint32_t>(choices.size()))];
}

// Appends every part; plain appends keep g++ 12 from misreading string concatenation at -O3.
template <class... Parts>
void Append(std::string& out, const Parts&... parts) {
  (out.append(std::string_view(parts)), ...);
}

std::string Number(uint32_t value) {
  return std::to_string(value);
}

void AppendPhones(std::string& out, Random& random) {
  for (uint32_t i = 0, n = 1 + random.Next(3); i < n; ++i) {
    Append(out, i ? "," : "", "\"010-", Number(1000 + random.Next(9000)), "-",
           Number(1000 + random.Next(9000)), "\"");
  }
}

void AppendIssues(std::string& out, Random& random, int person) {
  for (uint32_t i = 0, n = random.Next(3); i < n; ++i) {
    Append(out, i ? "," : "", "{\"id\":\"I", Number(person * 10 + i), "\",\"title\":\"",
           Pick(random, {"진료비 영수증", "처방전", "검사 결과지"}), "\",\"end\":\"2027-0",
           Number(1 + random.Next(9)), "-15T00:00:00\",\"files\":[{\"name\":\"scan_", Number(i),
           ".pdf\",\"size\":", Number(random.Next(5000000)), "}]}");
  }
}

void AppendPerson(std::string& out, Random& random, int index) {
  Append(out, "{\"id\":\"P", Number(100000 + index), "\",\"name\":\"",
         Pick(random, {"김", "이", "박", "최", "정", "강", "조"}),
         Pick(random, {"민준", "서연", "도윤", "하은", "지호", "수아", "예준"}), "\",\"site\":\"S0",
         Number(random.Next(9)), "\",\"age\":", Number(random.Next(100)),
         ",\"height\":", Number(140 + random.Next(60)), ".", Number(random.Next(10)),
         ",\"balance\":-", Number(random.Next(100000)),
         ".25,\"active\":", random.Next(2) ? "true" : "false", ",\"phones\":[");
  AppendPhones(out, random);
  Append(out, "],\"address\":{\"city\":\"",
         Pick(random, {"서울특별시", "부산광역시", "대전광역시"}), "\",\"street\":\"",
         Pick(random, {"강남대로 ", "중앙로 ", "한밭대로 "}), Number(random.Next(999)),
         "\",\"zip\":\"0", Number(1000 + random.Next(9000)), "\"},\"issues\":[");
  AppendIssues(out, random, index);
  Append(out, "],\"memo\":null}");
}

// An array of person objects with Korean names, numbers and nested arrays, about 1 MB.
const std::string& ReplyUtf8() {
  static const std::string reply = [] {
    Random random;
    std::string text = "[";
    for (int i = 0; i < kPersons; ++i) {
      if (i) text.push_back(',');
      AppendPerson(text, random, i);
    }
    text.push_back(']');
    return text;
  }();
  return reply;
}

void JsonBoxParseCopyWrite(benchmark::State& state) {
  const std::u16string reply = velto::Utf8ToUtf16(ReplyUtf8());
  size_t written = 0;
  for (auto _ : state) {
    velto::TJSONBox box = velto::TJSONBox::Create(velto::JSONArray(reply));
    velto::JSONRootGuard guard(box);
    const std::u16string text = box.Stringify();
    written = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["input_bytes"] = static_cast<double>(ReplyUtf8().size());
  state.counters["output_units"] = static_cast<double>(written);
}

void RapidJsonParseWrite(benchmark::State& state) {
  const std::string& reply = ReplyUtf8();
  size_t written = 0;
  for (auto _ : state) {
    rapidjson::Document document;
    document.Parse(reply.c_str(), reply.size());
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 2);
    document.Accept(writer);
    written = buffer.GetSize();
    benchmark::DoNotOptimize(buffer.GetString());
  }
  state.counters["input_bytes"] = static_cast<double>(reply.size());
  state.counters["output_units"] = static_cast<double>(written);
}

// The three steps of the comparison one by one, to see where the time goes.
void JsonBoxParse(benchmark::State& state) {
  const std::u16string reply = velto::Utf8ToUtf16(ReplyUtf8());
  for (auto _ : state) benchmark::DoNotOptimize(velto::JSONArray(reply));
}

void JsonBoxCopy(benchmark::State& state) {
  const auto parsed = velto::JSONArray(velto::Utf8ToUtf16(ReplyUtf8()));
  for (auto _ : state) benchmark::DoNotOptimize(parsed->Clone());
}

void JsonBoxWrite(benchmark::State& state) {
  const auto parsed = velto::JSONArray(velto::Utf8ToUtf16(ReplyUtf8()));
  for (auto _ : state) benchmark::DoNotOptimize(velto::JSONStringify(parsed->Get()));
}

// The same work as ours on RapidJSON's side, deep copy included, for reference.
void RapidJsonParseCopyWrite(benchmark::State& state) {
  const std::string& reply = ReplyUtf8();
  for (auto _ : state) {
    rapidjson::Document document;
    document.Parse(reply.c_str(), reply.size());
    rapidjson::Document copy;
    copy.CopyFrom(document, copy.GetAllocator());
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 2);
    copy.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
  }
}

// The whole of our job on RapidJSON's side: UTF-16 text in, deep copy, indented text out with
// every character above 0x7F escaped.
void RapidJsonUtf16ParseCopyWrite(benchmark::State& state) {
  using Utf16 = rapidjson::UTF16<char16_t>;
  using Document16 = rapidjson::GenericDocument<Utf16>;
  const std::u16string reply = velto::Utf8ToUtf16(ReplyUtf8());
  for (auto _ : state) {
    Document16 document;
    document.Parse(reply.c_str());
    Document16 copy;
    copy.CopyFrom(document, copy.GetAllocator());
    rapidjson::GenericStringBuffer<Utf16> buffer;
    rapidjson::PrettyWriter<rapidjson::GenericStringBuffer<Utf16>, Utf16,
                            rapidjson::ASCII<char16_t>>
        writer(buffer);
    writer.SetIndent(' ', 2);
    copy.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
  }
}

BENCHMARK(JsonBoxParseCopyWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(JsonBoxParse)->Unit(benchmark::kMillisecond);
BENCHMARK(JsonBoxCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(JsonBoxWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(RapidJsonParseWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(RapidJsonParseCopyWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(RapidJsonUtf16ParseCopyWrite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
