#include <windows.h>

#include "code_page_decoder.h"

namespace velto {

struct CodePageDecoder::State {
  UINT code_page = 0;
};

CodePageDecoder::CodePageDecoder(const Charset& charset) : state_(std::make_unique<State>()) {
  state_->code_page = charset.code_page;
}

CodePageDecoder::~CodePageDecoder() = default;

bool CodePageDecoder::Available() const {
  return IsValidCodePage(state_->code_page);
}

bool CodePageDecoder::DecodeWhole(std::string_view bytes, std::u16string& out) {
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(state_->code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(length));
  MultiByteToWideChar(state_->code_page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                      reinterpret_cast<wchar_t*>(out.data() + start), length);
  return true;
}

}  // namespace velto
