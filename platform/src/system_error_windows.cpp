#include <string>

#include "velto/system_error.h"

namespace velto {
namespace {

// What may close the system's sentence: line breaks, blanks and a full stop (also the
// ideographic and the full-width one of East Asian Windows).
bool ClosesSentence(char16_t character) {
  return character == u'\r' || character == u'\n' || character == u' ' || character == u'\t' ||
         character == u'.' || character == u'\u3002' || character == u'\uFF0E';
}

}  // namespace

std::u16string SystemErrorText(DWORD code, HMODULE module) {
  DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (module != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text(reinterpret_cast<const char16_t*>(buffer), length);
  LocalFree(buffer);
  while (!text.empty() && ClosesSentence(text.back())) text.pop_back();
  return text;
}

std::u16string SystemErrorSentence(DWORD code) {
  std::u16string text = SystemErrorText(code);
  if (text.empty()) {
    const std::string number = std::to_string(code);
    text = u"Windows error " + std::u16string(number.begin(), number.end());
  }
  return text + u".";
}

}  // namespace velto
