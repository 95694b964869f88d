#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velto::cli {

// The JSON text written again for people: indented by two spaces, line feeds, characters
// beyond ASCII as themselves (UTF-8) but for the C1 controls, which are escaped as DEL and the
// C0 controls are, and an unpaired surrogate, which shows as U+FFFD; numbers exactly as they
// stood. Nothing when the text is not one JSON value or nests deeper than a hundred levels.
std::optional<std::string> IndentedJson(std::string_view text);

}  // namespace velto::cli
