#include <windows.h>
// after windows.h
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "console.h"
#include "velto/unicode.h"

namespace velto::cli {
namespace {

std::string Utf8(const wchar_t* text) {
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
}

// A console takes UTF-16 through WriteConsoleW; a file or a pipe takes the UTF-8 bytes.
// False when the text could not all be written.
bool Write(DWORD which, FILE* file, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::u16string wide = Utf8ToUtf16(text);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) !=
               0 &&
           written == wide.size();
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fflush(file) == 0 && written;
}

}  // namespace

// The narrow arguments lose every character beyond the ANSI code page; the wide command
// line keeps them.
std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> arguments;
  for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf8(wide.get()[i]));
  return arguments;
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  const std::wstring wide_name(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wide_name.c_str());
  if (value == nullptr) return std::nullopt;
  return Utf8(value);
}

void PrepareStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool WriteOut(std::string_view text) {
  return Write(STD_OUTPUT_HANDLE, stdout, text);
}

void WriteError(std::string_view text) {
  Write(STD_ERROR_HANDLE, stderr, text);  // nowhere left to say that it failed
}

size_t ErrorTerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return static_cast<size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

bool ErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace velto::cli
