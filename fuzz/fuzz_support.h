#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velto::fuzz {

// The text a fuzz input stands for: UTF-8 bytes, so that seeds and dictionaries read as
// text; after a UTF-16LE byte order mark, raw UTF-16 units (lone surrogates and all), as a
// host's BSTR can hold them.
std::u16string HostText(std::string_view bytes);
std::u16string HostText(const uint8_t* data, size_t size);

// Reports a broken promise of the code under test and aborts, so that libFuzzer keeps the
// input as a crash.
[[noreturn]] void Fail(std::string_view what);
// The same, showing the text at fault (its start, as UTF-8).
[[noreturn]] void Fail(std::string_view what, std::u16string_view text);

}  // namespace velto::fuzz
