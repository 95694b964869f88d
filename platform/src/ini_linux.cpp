#include <fstream>
#include <iterator>

#include "velto/charset.h"
#include "velto/ini.h"
#include "velto/unicode.h"

// Reads INI files the way the Windows profile functions do. Files are UTF-8 (with or
// without a byte-order mark) or UTF-16 with a byte-order mark.
namespace velto {
namespace {

constexpr size_t kMaxValue = 2047;

std::u16string DecodeFile(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return DecodeCharset(bytes, "utf-16");  // the mark decides
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return Utf8ToUtf16(bytes);
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r';
}

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::u16string_view Unquote(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Hands `found` the name and the rest of each key line of the first section of that name,
// until it returns true.
template <typename Found>
void ForEachKey(std::u16string_view text, std::u16string_view section, Found found) {
  bool in_section = false;
  bool section_seen = false;
  while (!text.empty()) {
    const size_t end = text.find(u'\n');
    const std::u16string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
    if (line.starts_with(u'[')) {
      const size_t close = line.rfind(u']');
      if (close == std::u16string_view::npos) continue;
      if (section_seen) return;
      in_section = SameName(Trim(line.substr(1, close - 1)), section);
      section_seen = in_section;
      continue;
    }
    const size_t equals = line.find(u'=');
    if (!in_section || equals == std::u16string_view::npos) continue;
    if (found(Trim(line.substr(0, equals)), line.substr(equals + 1))) return;
  }
}

// The file's text, empty when it cannot be read.
std::u16string FileText(const std::u16string& file) {
  std::ifstream in(Utf16ToUtf8(file), std::ios::binary);
  if (!in) return {};
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeFile(bytes);
}

}  // namespace

std::u16string ReadIniString(const std::u16string& file, std::u16string_view section,
                             std::u16string_view key) {
  std::u16string value;
  // The first key of that name.
  ForEachKey(FileText(file), section, [&](std::u16string_view name, std::u16string_view rest) {
    if (!SameName(name, key)) return false;
    value = Unquote(Trim(rest)).substr(0, kMaxValue);
    return true;
  });
  return value;
}

std::vector<std::u16string> ReadIniKeys(const std::u16string& file, std::u16string_view section) {
  std::vector<std::u16string> keys;
  ForEachKey(FileText(file), section, [&](std::u16string_view name, std::u16string_view) {
    keys.emplace_back(name);
    return false;
  });
  return keys;
}

}  // namespace velto
