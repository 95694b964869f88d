#include "reader_oracle.h"

// An escaped low surrogate alone reaches RapidJSON's encoder, whose debug check would abort; the
// trace mends it instead.
#define RAPIDJSON_ASSERT(x) static_cast<void>(0)
#include <rapidjson/reader.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <string_view>

#include "velto/unicode.h"

namespace velto::testing {
namespace {

using Utf16 = rapidjson::UTF16<char16_t>;

// Numbers RapidJSON refused by the size of their exponent or integer part but whose value is
// finite, by their place among the numbers of the text: each is read as "0e0" and traced as its
// own characters.
using Overruled = std::map<std::size_t, std::u16string>;

// strtod gives infinity exactly when the value rounds beyond the largest double (tests run in the
// C locale, which reads ".").
bool Overflows(std::u16string_view number) {
  return std::isinf(std::strtod(Utf16ToUtf8(number).c_str(), nullptr));
}

class TraceHandler : public rapidjson::BaseReaderHandler<Utf16, TraceHandler> {
 public:
  TraceHandler(Trace& trace, const Overruled& overruled) : trace_(trace), overruled_(overruled) {}
  bool Null() { return Add("null"); }
  bool Bool(bool value) { return Add(value ? "true" : "false"); }
  bool RawNumber(const char16_t* text, rapidjson::SizeType length, bool) {
    const auto found = overruled_.find(numbers_++);
    const std::u16string_view number = found != overruled_.end()
                                           ? std::u16string_view(found->second)
                                           : std::u16string_view(text, length);
    return !Overflows(number) && Add("number " + Utf16ToUtf8(number));
  }
  bool String(const char16_t* text, rapidjson::SizeType length, bool) {
    return Add("string " + Utf16ToUtf8({text, length}));
  }
  bool Key(const char16_t* text, rapidjson::SizeType length, bool) {
    return Add("name " + Utf16ToUtf8({text, length}));
  }
  bool StartObject() { return Add("{"); }
  bool EndObject(rapidjson::SizeType) { return Add("}"); }
  bool StartArray() { return Add("["); }
  bool EndArray(rapidjson::SizeType) { return Add("]"); }

  // How many numbers were read so far.
  std::size_t Numbers() const { return numbers_; }

 private:
  bool Add(std::string event) {
    trace_.push_back(std::move(event));
    return true;
  }
  Trace& trace_;
  const Overruled& overruled_;
  std::size_t numbers_ = 0;
};

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

// The length of the number of JSON grammar that starts at `at`, as far as it goes.
std::size_t NumberLength(std::u16string_view text, std::size_t at) {
  std::size_t end = at;
  const auto skip = [&](std::u16string_view units) {
    if (end < text.size() && units.find(text[end]) != units.npos) ++end;
  };
  const auto skipDigits = [&] {
    const std::size_t first = end;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end != first;
  };
  skip(u"-");
  skipDigits();
  if (end + 1 < text.size() && text[end] == u'.' && IsDigit(text[end + 1])) {
    ++end;
    skipDigits();
  }
  const std::size_t beforeExponent = end;
  if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
    ++end;
    skip(u"+-");
    if (!skipDigits()) end = beforeExponent;
  }
  return end - at;
}

bool IsEscapedHighSurrogate(std::u16string_view text, std::size_t at) {
  if (text.substr(at, 2) != u"\\u" || text.size() < at + 6) return false;
  const std::u16string digits(text.substr(at + 2, 4));
  const unsigned long unit = std::strtoul(Utf16ToUtf8(digits).c_str(), nullptr, 16);
  return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

std::optional<Trace> OracleTrace(const std::u16string& text) {
  std::u16string mended = Utf8ToUtf16(Utf16ToUtf8(text));
  if (mended.find(u'\0') != std::u16string::npos) return std::nullopt;
  Overruled overruled;
  // Each round mends the first departure RapidJSON stops at, until it reads the text through.
  while (true) {
    Trace trace;
    TraceHandler handler(trace, overruled);
    // In place, as this RapidJSON copies raw numbers wrongly into UTF-16 otherwise.
    std::u16string buffer = mended;
    rapidjson::GenericInsituStringStream<Utf16> stream(buffer.data());
    rapidjson::GenericReader<Utf16, Utf16> reader;
    constexpr unsigned kFlags = rapidjson::kParseInsituFlag | rapidjson::kParseIterativeFlag |
                                rapidjson::kParseNumbersAsStringsFlag;
    const rapidjson::ParseResult result = reader.Parse<kFlags>(stream, handler);
    const std::size_t at = result.Offset();
    if (!result.IsError()) {
      if (trace.front() != "{" && trace.front() != "[") return std::nullopt;
      return trace;
    }
    if (result.Code() == rapidjson::kParseErrorStringUnicodeSurrogateInvalid &&
        IsEscapedHighSurrogate(mended, at)) {
      mended.replace(at, 6, u"\\uFFFD");
    } else if (result.Code() == rapidjson::kParseErrorNumberTooBig) {
      const std::size_t length = NumberLength(mended, at);
      std::u16string number = mended.substr(at, length);
      if (Overflows(number)) return std::nullopt;
      overruled.emplace(handler.Numbers(), std::move(number));
      mended.replace(at, length, u"0e0");
    } else {
      return std::nullopt;
    }
  }
}

}  // namespace velto::testing
