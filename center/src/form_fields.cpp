#include "velto/form_fields.h"

#include "velto/unicode.h"
#include "velto/url_encode.h"

namespace velto {

void AddFileWithName(TMultipartForm& form, const std::u16string& path) {
  form.AddFilePart(u"file", path);
  form.AddBareTextPart(u"file-name", FormValue(BareFileName(path)));
}

void AddLogoFile(TMultipartForm& form, const std::u16string& path) {
  if (path.empty()) {
    form.AddTextPart(u"file-name", "");
  } else {
    AddFileWithName(form, path);
  }
}

std::string FormValue(std::u16string_view value) {
  return Utf16ToUtf8(URLEncode(value));
}

}  // namespace velto
