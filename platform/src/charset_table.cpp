#include "charset_table.h"

#include <array>

#include "velto/ascii_case.h"

namespace velto {
namespace {

using enum CharsetKind;

// Korean, Japanese and Chinese servers label the Windows extensions of their national
// tables with the older names; each name stands for the extended table, a superset. Where
// Windows and iconv read a single-byte table differently, the fixes follow the current
// standard of the table (ISO 8859-7:2003, ISO 8859-8:1999, RFC 2319, Microsoft's own
// windows-1255); the combining marks of windows-1255 and windows-1258 are decoded apart, as
// Windows does, so that iconv does not join them to the letter before. EUC-JP and GB18030
// are left out: Wine decodes neither as iconv does (nor as Windows does).
constexpr std::array kCharsets{
    Charset{"utf-8 utf8", Utf8, 0, {}},
    Charset{"utf-16", Utf16, 0, {}},
    Charset{"utf-16le", Utf16Le, 0, {}},
    Charset{"utf-16be", Utf16Be, 0, {}},
    Charset{"us-ascii ascii", Ascii, 0, {}},
    Charset{"iso-8859-1 iso_8859-1 latin1 l1", CodePage, 28591, "ISO-8859-1"},
    Charset{"iso-8859-2 iso_8859-2 latin2 l2", CodePage, 28592, "ISO-8859-2"},
    Charset{"iso-8859-3 iso_8859-3 latin3 l3", CodePage, 28593, "ISO-8859-3"},
    Charset{"iso-8859-4 iso_8859-4 latin4 l4", CodePage, 28594, "ISO-8859-4"},
    Charset{"iso-8859-5 iso_8859-5 cyrillic", CodePage, 28595, "ISO-8859-5"},
    Charset{"iso-8859-6 iso_8859-6 arabic", CodePage, 28596, "ISO-8859-6"},
    Charset{"iso-8859-7 iso_8859-7 greek", CodePage, 28597, "ISO-8859-7",
            u"\xA1\xA2\u2018\xA4\xA4\u20AC\xA5\xA5\u20AF\xAA\xAA\u037A"},
    Charset{"iso-8859-8 iso_8859-8 hebrew", CodePage, 28598, "ISO-8859-8",
            u"\xAF\xAF\u00AF\xFD\xFE\u200E"},
    Charset{"iso-8859-9 iso_8859-9 latin5 l5", CodePage, 28599, "ISO-8859-9"},
    Charset{"iso-8859-13 iso_8859-13", CodePage, 28603, "ISO-8859-13"},
    Charset{"iso-8859-15 iso_8859-15 latin9", CodePage, 28605, "ISO-8859-15"},
    Charset{"windows-874 cp874", CodePage, 874, "CP874"},
    Charset{"windows-1250 cp1250", CodePage, 1250, "CP1250"},
    Charset{"windows-1251 cp1251", CodePage, 1251, "CP1251"},
    Charset{"windows-1252 cp1252", CodePage, 1252, "CP1252"},
    Charset{"windows-1253 cp1253", CodePage, 1253, "CP1253"},
    Charset{"windows-1254 cp1254", CodePage, 1254, "CP1254"},
    Charset{"windows-1255 cp1255", CodePage, 1255, "CP1255", u"\xC0\xD2\u05B0"},
    Charset{"windows-1256 cp1256", CodePage, 1256, "CP1256"},
    Charset{"windows-1257 cp1257", CodePage, 1257, "CP1257"},
    Charset{"windows-1258 cp1258", CodePage, 1258, "CP1258",
            u"\xCC\xCC\u0300\xD2\xD2\u0309\xDE\xDE\u0303\xEC\xEC\u0301\xF2\xF2\u0323"},
    Charset{"koi8-r", CodePage, 20866, "KOI8-R"},
    Charset{"koi8-u", CodePage, 21866, "KOI8-U", u"\xAE\xAE\u255D\xBE\xBE\u256C"},
    Charset{"ibm866 cp866", CodePage, 866, "CP866"},
    Charset{"euc-kr ks_c_5601-1987 cp949 windows-949", CodePage, 949, "CP949"},
    Charset{"shift_jis sjis windows-31j cp932", CodePage, 932, "CP932"},
    Charset{"gb2312 gbk cp936", CodePage, 936, "CP936"},
    Charset{"big5 cp950", CodePage, 950, "CP950"},
};

bool Names(std::string_view names, std::string_view lower_name) {
  while (!names.empty()) {
    const size_t end = names.find(' ');
    if (names.substr(0, end) == lower_name) return true;
    names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
  }
  return false;
}

}  // namespace

std::span<const Charset> KnownCharsets() {
  return kCharsets;
}

const Charset* FindCharset(std::string_view name) {
  const std::string lower = AsciiLowerCase(name);
  for (const Charset& charset : kCharsets) {
    if (Names(charset.names, lower)) return &charset;
  }
  return nullptr;
}

}  // namespace velto
