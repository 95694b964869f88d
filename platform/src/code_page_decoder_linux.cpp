#include <iconv.h>

#include <string>

#include "code_page_decoder.h"

namespace velto {

struct CodePageDecoder::State {
  iconv_t handle = reinterpret_cast<iconv_t>(-1);
  ~State() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }
};

CodePageDecoder::CodePageDecoder(const Charset& charset) : state_(std::make_unique<State>()) {
  state_->handle = iconv_open("UTF-16LE", std::string(charset.iconv_name).c_str());
}

CodePageDecoder::~CodePageDecoder() = default;

bool CodePageDecoder::Available() const {
  return state_->handle != reinterpret_cast<iconv_t>(-1);
}

// iconv's own way past a bad sequence differs between converters (some step over it
// whole), so any failure fails the whole run.
bool CodePageDecoder::DecodeWhole(std::string_view bytes, std::u16string& out) {
  iconv(state_->handle, nullptr, nullptr, nullptr, nullptr);
  std::string input(bytes);
  // No character of the known tables takes more UTF-16 units than bytes.
  std::u16string decoded(bytes.size(), u'\0');
  char* in = input.data();
  size_t in_left = input.size();
  auto* target = reinterpret_cast<char*>(decoded.data());
  size_t target_left = decoded.size() * sizeof(char16_t);
  constexpr auto kFailed = static_cast<size_t>(-1);
  if (iconv(state_->handle, &in, &in_left, &target, &target_left) == kFailed || in_left != 0 ||
      iconv(state_->handle, nullptr, nullptr, &target, &target_left) == kFailed) {
    return false;
  }
  decoded.resize(decoded.size() - target_left / sizeof(char16_t));
  out += decoded;
  return true;
}

}  // namespace velto
