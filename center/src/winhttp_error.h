#pragma once

#include <windows.h>

#include <string>

namespace velto {

// A sentence a person can read for a WinHTTP or Windows error code, followed by the
// code itself, e.g. "The server refused the connection (WinHTTP error 12029)".
std::u16string DescribeWinHttpError(DWORD code);

}  // namespace velto
