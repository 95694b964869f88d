#pragma once

#include <string>
#include <string_view>

namespace velto {

// Conversions between UTF-8 and UTF-16 that never fail: every ill-formed sequence
// (stray or truncated bytes, overlong forms, surrogates encoded in UTF-8, unpaired
// surrogates in UTF-16) becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace velto
