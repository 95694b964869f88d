#include "velto/json_stringifier.h"

#include <vector>

#include "json_settings_store.h"

namespace velto {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// Code units written as they are: printable ASCII but for the quotation mark, the backslash and
// the slash. 0x7F counts as printable here.
bool IsPlain(char16_t unit) {
  return unit >= 0x20 && unit <= 0x7F && unit != u'"' && unit != u'\\' && unit != u'/';
}

void AppendEscaped(std::u16string& out, char16_t unit) {
  switch (unit) {
    case u'\b':
      out += u"\\b";
      return;
    case u'\t':
      out += u"\\t";
      return;
    case u'\n':
      out += u"\\n";
      return;
    case u'\f':
      out += u"\\f";
      return;
    case u'\r':
      out += u"\\r";
      return;
    case u'"':
    case u'\\':
    case u'/':
      out.push_back(u'\\');
      out.push_back(unit);
      return;
    default:
      const char16_t escape[] = {u'\\',
                                 u'u',
                                 kHexDigits[(unit >> 12) & 0xF],
                                 kHexDigits[(unit >> 8) & 0xF],
                                 kHexDigits[(unit >> 4) & 0xF],
                                 kHexDigits[unit & 0xF]};
      out.append(escape, 6);
  }
}

void AppendQuoted(std::u16string& out, const std::u16string& text) {
  out.push_back(u'"');
  const char16_t* run = text.data();
  const char16_t* const end = run + text.size();
  for (const char16_t* at = run; at != end; ++at) {
    if (IsPlain(*at)) continue;
    out.append(run, at);
    AppendEscaped(out, *at);
    run = at + 1;
  }
  out.append(run, end);
  out.push_back(u'"');
}

void AppendScalar(std::u16string& out, const JSONValue& value) {
  switch (value.Type()) {
    case JSONType::String:
      AppendQuoted(out, value.Text());
      return;
    case JSONType::Number:
      out += value.Text();
      return;
    case JSONType::Boolean:
      out += value.BooleanValue() ? u"true" : u"false";
      return;
    default:
      out += u"null";
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

// Writes from an explicit stack of open containers, so depth costs heap, not call stack.
void Write(std::u16string& out, const JSONValue& top, std::u16string_view margin,
           const Layout& layout) {
  struct Open {
    const JSONValue* container;
    size_t next;
  };
  std::vector<Open> open;
  std::u16string indent(margin);
  const auto begin = [&](const JSONValue& value) {
    if (!value.IsObject() && !value.IsArray()) return AppendScalar(out, value);
    if (ChildCount(value) == 0) return out.append(value.IsObject() ? u"{}" : u"[]"), void();
    out.push_back(value.IsObject() ? u'{' : u'[');
    open.push_back(Open{&value, 0});
    indent += layout.unit;
  };
  begin(top);
  while (!open.empty()) {
    const JSONValue& container = *open.back().container;
    const size_t next = open.back().next++;
    if (next == ChildCount(container)) {
      indent.resize(indent.size() - layout.unit.size());
      out += layout.lineBreak;
      out += indent;
      out.push_back(container.IsObject() ? u'}' : u']');
      open.pop_back();
      continue;
    }
    if (next > 0) out.push_back(u',');
    out += layout.lineBreak;
    out += indent;
    if (container.IsObject()) {
      const JSONMember& member = container.Members()[next];
      AppendQuoted(out, member.Name);
      out += layout.nameSeparator;
      begin(*member.Value);
    } else {
      begin(*container.Elements()[next]);
    }
  }
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
    Write(out, *value, u"", Layout{u"", u":", u""});
  } else {
    JSONStringifyWithMargin(out, value, u"");
  }
  return out;
}

void JSONStringifyWithMargin(std::u16string& builder, const JSONValue* value,
                             std::u16string_view margin) {
  if (value) Write(builder, *value, margin, Layout{u"\r\n", u": ", TJSONStringifier::Margin()});
}

}  // namespace velto
