#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>

#include "velto/charset.h"
#include "velto/unicode.h"

namespace velto {
namespace {

class Converter {
 public:
  explicit Converter(const std::string& charset)
      : handle_(iconv_open("UTF-16LE", charset.c_str())) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (Valid()) iconv_close(handle_);
  }
  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Undecodable or truncated input becomes one U+FFFD per byte skipped.
  std::u16string Decode(std::string_view bytes) {
    std::u16string out;
    std::string input(bytes);
    char* in = input.data();
    size_t in_left = input.size();
    char16_t buffer[1024];
    while (in_left > 0) {
      char* target = reinterpret_cast<char*>(buffer);
      size_t target_left = sizeof(buffer);
      const size_t result = iconv(handle_, &in, &in_left, &target, &target_left);
      out.append(buffer, (sizeof(buffer) - target_left) / sizeof(char16_t));
      if (result == static_cast<size_t>(-1) && errno != E2BIG) {
        out.push_back(u'\uFFFD');
        ++in;
        --in_left;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t handle_;
};

bool SameName(std::string_view charset, std::string_view lower_name) {
  return std::equal(
      charset.begin(), charset.end(), lower_name.begin(), lower_name.end(),
      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool IsUtf8(std::string_view charset) {
  return charset.empty() || SameName(charset, "utf-8") || SameName(charset, "utf8");
}

// Korean servers label the extended code page with the older names; it is a superset.
std::string IconvName(std::string_view charset) {
  if (SameName(charset, "euc-kr") || SameName(charset, "ks_c_5601-1987")) return "CP949";
  return std::string(charset);
}

}  // namespace

std::u16string DecodeCharset(std::string_view bytes, std::string_view charset) {
  if (IsUtf8(charset)) return Utf8ToUtf16(bytes);
  Converter converter{IconvName(charset)};
  if (!converter.Valid()) return Utf8ToUtf16(bytes);
  return converter.Decode(bytes);
}

}  // namespace velto
