#include "host_exports.h"

#include <stdexcept>

#include "bstr_text.h"
#include "velto/unicode.h"

namespace velto::test {

class HostExports::HostText {
 public:
  HostText(const HostLibrary& library, std::u16string_view text)
      : free_(library.Get<decltype(VeltoFreeString)>("VeltoFreeString")),
        text_(library.Get<decltype(VeltoAllocString)>("VeltoAllocString")(
            reinterpret_cast<const OLECHAR*>(text.data()), static_cast<uint32_t>(text.size()))) {}
  HostText(const HostText&) = delete;
  HostText& operator=(const HostText&) = delete;
  HostText(HostText&& other) noexcept : free_(other.free_), text_(other.text_) {
    other.text_ = nullptr;
  }
  ~HostText() { free_(text_); }

  BSTR Get() const { return text_; }
  BSTR* Out() { return &text_; }
  std::u16string Text() const { return TextOf(text_); }

 private:
  decltype(VeltoFreeString)* free_;
  BSTR text_;
};

std::optional<std::u16string> HostExports::Call(const char* name,
                                                const std::vector<std::u16string>& texts) const {
  std::vector<HostText> arguments;
  for (const std::u16string& text : texts) arguments.emplace_back(library_, text);
  std::vector<BSTR> bstrs;
  for (const HostText& argument : arguments) bstrs.push_back(argument.Get());
  // What a host's variable may hold before the call; the export frees it when it stores.
  const std::u16string untouched = u"\x01untouched";
  HostText result(library_, untouched);
  CallTextExport(library_.Address(name), bstrs, result.Out());
  if (result.Text() == untouched) return std::nullopt;
  return result.Text();
}

std::u16string HostExports::Text(const char* name, const std::vector<std::u16string>& texts) const {
  const std::optional<std::u16string> text = Call(name, texts);
  if (!text) {
    throw std::runtime_error(std::string(name) +
                             " stored no result; its last error: " + Utf16ToUtf8(LastError()));
  }
  return *text;
}

void HostExports::Init(std::u16string_view root, std::u16string_view card,
                       std::u16string_view site) const {
  const HostText url(library_, root), number(library_, card), id(library_, site);
  library_.Get<decltype(VeltoInit)>("VeltoInit")(url.Get(), number.Get(), id.Get());
}

void HostExports::Enter(std::u16string_view card) const {
  const HostText number(library_, card);
  library_.Get<decltype(VeltoEnter)>("VeltoEnter")(number.Get());
}

void HostExports::GetData(std::u16string_view file_id, IStream* stream) const {
  const HostText id(library_, file_id);
  library_.Get<decltype(File_GetData)>("File_GetData")(id.Get(), stream);
}

void HostExports::WorkBegin(IVeltoWorkEvents* events) const {
  library_.Get<decltype(VeltoWorkBegin)>("VeltoWorkBegin")(events);
}

void HostExports::WorkEnd() const {
  library_.Get<decltype(VeltoWorkEnd)>("VeltoWorkEnd")();
}

std::u16string HostExports::LastError() const {
  HostText message(library_, u"");
  library_.Get<decltype(VeltoLastError)>("VeltoLastError")(message.Out());
  return message.Text();
}

}  // namespace velto::test
