#include "velto/json_stringifier.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "json_settings_store.h"

namespace velto {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
// The longest text one code unit can become: \uXXXX.
constexpr size_t kLongestEscape = 6;

// The short escape of a code unit, or 0 when it is written as \uXXXX; 1 marks the units written
// as they are: printable ASCII but for the quotation mark, the backslash and the slash (0x7F is
// written as it is).
constexpr auto kEscapes = [] {
  std::array<char16_t, 128> table{};
  for (size_t unit = 0x20; unit < 128; ++unit) table[unit] = 1;
  table[u'"'] = u'"';
  table[u'\\'] = u'\\';
  table[u'/'] = u'/';
  table[u'\b'] = u'b';
  table[u'\t'] = u't';
  table[u'\n'] = u'n';
  table[u'\f'] = u'f';
  table[u'\r'] = u'r';
  return table;
}();

bool IsPlain(char16_t unit) {
  return unit < 128 && kEscapes[unit] == 1;
}

// How many code units each ASCII unit becomes; every other unit becomes kLongestEscape.
constexpr auto kEscapedSizes = [] {
  std::array<uint8_t, 128> table{};
  for (size_t unit = 0; unit < 128; ++unit) {
    table[unit] = kEscapes[unit] == 1 ? 1 : kEscapes[unit] != 0 ? 2 : kLongestEscape;
  }
  return table;
}();

size_t EscapedSize(char16_t unit) {
  return unit < 128 ? kEscapedSizes[unit] : kLongestEscape;
}

char16_t* WriteEscaped(char16_t* at, char16_t unit) {
  const char16_t escape = unit < 128 ? kEscapes[unit] : 0;
  *at++ = u'\\';
  if (escape != 0) {
    *at++ = escape;
    return at;
  }
  *at++ = u'u';
  *at++ = kHexDigits[(unit >> 12) & 0xF];
  *at++ = kHexDigits[(unit >> 8) & 0xF];
  *at++ = kHexDigits[(unit >> 4) & 0xF];
  *at++ = kHexDigits[unit & 0xF];
  return at;
}

// Counts what TextWriter will write, so that the text is made once at its final size: growing a
// large text step by step copies it and touches fresh memory again and again.
class CountingSink {
 public:
  void Append(std::u16string_view text) { size_ += text.size(); }
  void Append(char16_t) { ++size_; }
  void AppendQuoted(std::u16string_view text) {
    size_ += 2;
    for (const char16_t unit : text) size_ += EscapedSize(unit);
  }
  size_t Size() const { return size_; }

 private:
  size_t size_ = 0;
};

// Writes into text already sized by CountingSink, so no piece needs a check for room.
class TextWriter {
 public:
  explicit TextWriter(char16_t* at) : at_(at) {}

  void Append(std::u16string_view text) {
    for (const char16_t unit : text) *at_++ = unit;
  }
  void Append(char16_t unit) { *at_++ = unit; }
  void AppendQuoted(std::u16string_view text) {
    char16_t* at = at_;
    *at++ = u'"';
    for (const char16_t unit : text) {
      if (IsPlain(unit)) {
        *at++ = unit;
      } else {
        at = WriteEscaped(at, unit);
      }
    }
    *at++ = u'"';
    at_ = at;
  }

 private:
  char16_t* at_;
};

template <class Sink>
void AppendScalar(Sink& out, const JSONValue& value) {
  switch (value.Type()) {
    case JSONType::String:
      return out.AppendQuoted(value.Text());
    case JSONType::Number:
      return out.Append(value.Text());
    case JSONType::Boolean:
      return out.Append(value.BooleanValue() ? u"true" : u"false");
    default:
      return out.Append(u"null");
  }
}

size_t ChildCount(const JSONValue& container) {
  return container.IsObject() ? container.Members().size() : container.Elements().size();
}

// How containers are laid out: line breaks and margins for indented text, nothing for compact.
struct Layout {
  std::u16string_view lineBreak;
  std::u16string_view nameSeparator;
  std::u16string_view unit;
};

// The contents of containers nested deeper than this go on one line, without margins: each
// level of margin is repeated on every line below it, so a few hundred kilobytes of deep
// nesting would otherwise be written out as gigabytes.
constexpr size_t kLaidOutDepth = 100;

// Writes from an explicit stack of open containers, so depth costs heap, not call stack.
template <class Sink>
void Write(Sink& out, const JSONValue& top, std::u16string_view margin, const Layout& layout) {
  struct Open {
    const JSONValue* container;
    size_t next;
  };
  std::vector<Open> open;
  // The line break and the margin of the current depth, written before each inner line.
  std::u16string lineStart(layout.lineBreak);
  lineStart += margin;
  const auto laidOut = [&] { return open.size() <= kLaidOutDepth; };
  const auto begin = [&](const JSONValue& value) {
    if (!value.IsObject() && !value.IsArray()) return AppendScalar(out, value);
    if (ChildCount(value) == 0) return out.Append(value.IsObject() ? u"{}" : u"[]");
    out.Append(value.IsObject() ? u'{' : u'[');
    open.push_back(Open{&value, 0});
    if (laidOut()) lineStart += layout.unit;
  };
  begin(top);
  while (!open.empty()) {
    const JSONValue& container = *open.back().container;
    const size_t next = open.back().next++;
    if (next == ChildCount(container)) {
      if (laidOut()) {
        lineStart.resize(lineStart.size() - layout.unit.size());
        out.Append(lineStart);
      }
      out.Append(container.IsObject() ? u'}' : u']');
      open.pop_back();
      continue;
    }
    if (next > 0) out.Append(u',');
    if (laidOut()) out.Append(lineStart);
    if (container.IsObject()) {
      const JSONMember& member = container.Members()[next];
      out.AppendQuoted(member.Name);
      out.Append(layout.nameSeparator);
      begin(*member.Value);
    } else {
      begin(*container.Elements()[next]);
    }
  }
}

void WriteSized(std::u16string& text, const JSONValue& top, std::u16string_view margin,
                const Layout& layout) {
  CountingSink counter;
  Write(counter, top, margin, layout);
  const size_t start = text.size();
  text.resize(start + counter.Size());
  TextWriter out(text.data() + start);
  Write(out, top, margin, layout);
}

}  // namespace

std::u16string& TJSONStringifier::Margin() {
  return Settings().margin;
}

TExecuteMethod& TJSONStringifier::OnExecute() {
  return Settings().onExecute;
}

std::u16string TJSONStringifier::Execute(const JSONValue* value) {
  if (const TExecuteMethod& replacement = OnExecute()) return replacement(value);
  return JSONStringify(value);
}

std::u16string JSONStringify(const JSONValue* value) {
  std::u16string out;
  if (!value) return out;
  if (TJSONStringifier::Margin().empty()) {
    WriteSized(out, *value, u"", Layout{u"", u":", u""});
  } else {
    JSONStringifyWithMargin(out, value, u"");
  }
  return out;
}

void JSONStringifyWithMargin(std::u16string& builder, const JSONValue* value,
                             std::u16string_view margin) {
  if (value)
    WriteSized(builder, *value, margin, Layout{u"\r\n", u": ", TJSONStringifier::Margin()});
}

}  // namespace velto
