#pragma once

#include <string>
#include <string_view>

#include "velto/multipart_form.h"

namespace velto {

// The parts of the upload forms. Text values are URL-encoded (URLEncode), so every part
// carries plain ASCII.

// "file" with the file's bytes, then "file-name", a bare text part with its bare name.
// The file is opened here: a path that cannot be opened fails before anything is sent.
void AddFileWithName(TMultipartForm& form, const std::u16string& path);

// A logo upload's file: AddFileWithName, or only an empty "file-name" text part when there
// is no file (an empty path).
void AddLogoFile(TMultipartForm& form, const std::u16string& path);

// URLEncode of `value` as the bytes of a text part.
std::string FormValue(std::u16string_view value);

}  // namespace velto
