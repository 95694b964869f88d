#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velto {

// A size as the INI file and velto's flags write it: a whole number of bytes, or of KiB,
// MiB or GiB with the suffix K, M or G (either case). Nothing for anything else, for 0 and
// for a size beyond 64 bits.
std::optional<uint64_t> ParseByteSize(std::string_view text);

// A time limit in whole seconds: 1 up to about 24 days (the longest wait the Windows
// transport takes in milliseconds). Nothing for anything else.
std::optional<std::chrono::seconds> ParseLimitSeconds(std::string_view text);

}  // namespace velto
