#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "charset_table.h"

namespace velto {

// The platform's converter for one CodePage character set: a Windows code page, or iconv.
class CodePageDecoder {
 public:
  explicit CodePageDecoder(const Charset& charset);
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;
  ~CodePageDecoder();

  // Whether the system has the converter at all.
  bool Available() const;
  // Appends the decoding of `bytes` when they are whole valid characters, one after the
  // other; otherwise appends nothing and returns false.
  bool DecodeWhole(std::string_view bytes, std::u16string& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace velto
