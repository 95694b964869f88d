#include "winhttp_error.h"

#include <winhttp.h>

#include <array>
#include <string_view>

#include "velto/system_error.h"
#include "velto/unicode.h"

namespace velto {
namespace {

struct KnownError {
  DWORD code;
  std::u16string_view text;
};

// The failures a host will actually meet, worded the same on Windows and under Wine
// (Wine's winhttp.dll carries no message table, and Wine passes some socket errors on).
constexpr std::array kKnownErrors{
    KnownError{ERROR_WINHTTP_TIMEOUT, u"The operation timed out"},
    KnownError{ERROR_WINHTTP_INVALID_URL, u"The URL is invalid"},
    KnownError{ERROR_WINHTTP_UNRECOGNIZED_SCHEME,
               u"The URL does not start with http:// or https://"},
    KnownError{ERROR_WINHTTP_NAME_NOT_RESOLVED, u"The server name could not be resolved"},
    KnownError{ERROR_WINHTTP_CANNOT_CONNECT, u"Could not connect to the server"},
    KnownError{ERROR_WINHTTP_CONNECTION_ERROR,
               u"The connection to the server was reset or closed early"},
    KnownError{WSAECONNRESET, u"The connection to the server was reset"},
    KnownError{WSAECONNREFUSED, u"Could not connect to the server"},
    KnownError{WSAETIMEDOUT, u"The operation timed out"},
    KnownError{ERROR_WINHTTP_INVALID_SERVER_RESPONSE, u"The server sent a reply that is not HTTP"},
    KnownError{ERROR_WINHTTP_HEADER_SIZE_OVERFLOW, u"The server's reply headers are too long"},
    KnownError{ERROR_WINHTTP_SECURE_FAILURE, u"The server's TLS certificate was refused"},
    KnownError{ERROR_WINHTTP_SECURE_CHANNEL_ERROR, u"The TLS connection could not be set up"},
    KnownError{ERROR_WINHTTP_SECURE_INVALID_CA,
               u"The server's TLS certificate is not signed by a trusted authority"},
    KnownError{ERROR_WINHTTP_SECURE_CERT_CN_INVALID,
               u"The server's TLS certificate is for another host name"},
    KnownError{ERROR_WINHTTP_SECURE_CERT_DATE_INVALID,
               u"The server's TLS certificate has expired or is not yet valid"},
    KnownError{ERROR_WINHTTP_SECURE_CERT_REVOKED, u"The server's TLS certificate was revoked"},
    KnownError{ERROR_WINHTTP_SECURE_INVALID_CERT, u"The server's TLS certificate is invalid"},
    KnownError{ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED, u"The server asks for a client certificate"},
};

}  // namespace

std::u16string DescribeWinHttpError(DWORD code) {
  std::u16string text;
  for (const KnownError& known : kKnownErrors) {
    if (known.code == code) text = known.text;
  }
  if (text.empty()) text = SystemErrorText(code, GetModuleHandleW(L"winhttp.dll"));
  if (text.empty()) text = u"The HTTP connection failed";
  return text + u" (WinHTTP error " + Utf8ToUtf16(std::to_string(code)) + u")";
}

}  // namespace velto
