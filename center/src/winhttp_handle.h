#pragma once

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <type_traits>

namespace velto {

struct WinHttpHandleCloser {
  void operator()(HINTERNET handle) const noexcept { WinHttpCloseHandle(handle); }
};

// Owns one WinHTTP session, connection or request handle.
using WinHttpHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, WinHttpHandleCloser>;

}  // namespace velto
