#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "velto/charset.h"
#include "velto/unicode.h"

namespace velto {
namespace {

struct KnownCharset {
  std::string_view name;  // lower case
  UINT code_page;
};

// The names servers use in Content-Type. Korean servers' older names stand for the
// extended Korean code page, a superset.
constexpr std::array kCharsets{
    KnownCharset{"iso-8859-1", 28591},   KnownCharset{"latin1", 28591},
    KnownCharset{"us-ascii", 20127},     KnownCharset{"euc-kr", 949},
    KnownCharset{"ks_c_5601-1987", 949}, KnownCharset{"cp949", 949},
    KnownCharset{"windows-949", 949},    KnownCharset{"windows-1252", 1252},
    KnownCharset{"shift_jis", 932},      KnownCharset{"euc-jp", 20932},
    KnownCharset{"gb2312", 936},         KnownCharset{"gbk", 936},
    KnownCharset{"big5", 950},           KnownCharset{"koi8-r", 20866},
};

bool SameName(std::string_view charset, std::string_view lower_name) {
  return std::equal(
      charset.begin(), charset.end(), lower_name.begin(), lower_name.end(),
      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

UINT CodePage(std::string_view charset) {
  for (const KnownCharset& known : kCharsets) {
    if (SameName(charset, known.name)) return known.code_page;
  }
  return CP_UTF8;
}

// Appends the decoding of `bytes`; false (and nothing appended) when they are not valid
// in the code page.
bool AppendStrict(UINT code_page, std::string_view bytes, std::u16string& out) {
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(length));
  MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                      reinterpret_cast<wchar_t*>(out.data() + start), length);
  return true;
}

// Character by character, so that one bad byte becomes U+FFFD and the rest still decodes
// (the system's own replacement differs between code pages).
std::u16string DecodeLeniently(UINT code_page, std::string_view bytes) {
  std::u16string out;
  while (!bytes.empty()) {
    const bool lead = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(bytes.front()));
    const size_t width = lead && bytes.size() > 1 ? 2 : 1;
    if (AppendStrict(code_page, bytes.substr(0, width), out)) {
      bytes.remove_prefix(width);
    } else {
      out.push_back(u'\uFFFD');
      bytes.remove_prefix(1);
    }
  }
  return out;
}

}  // namespace

std::u16string DecodeCharset(std::string_view bytes, std::string_view charset) {
  const UINT code_page = CodePage(charset);
  if (code_page == CP_UTF8 || !IsValidCodePage(code_page)) return Utf8ToUtf16(bytes);
  std::u16string text;
  if (AppendStrict(code_page, bytes, text)) return text;
  return DecodeLeniently(code_page, bytes);
}

}  // namespace velto
