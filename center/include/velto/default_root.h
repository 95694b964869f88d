#pragma once

#include <string_view>

namespace velto {

// The server root the library uses until VeltoOpen or VeltoInit sets another; hosts that
// show or merge settings (the command line) read it here.
inline constexpr std::u16string_view kDefaultRoot = u"http://127.0.0.1:8080";

}  // namespace velto
