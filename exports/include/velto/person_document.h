#pragma once

#include <string>
#include <string_view>

namespace velto {

// Everything the server keeps about one person of the configured site, as indented JSON
// text: the person's details, each issue and each issue's files. Costs 2 + n requests for
// n issues; any failure on the way fails the whole read.
std::u16string PersonDocument(std::u16string_view person_id);

}  // namespace velto
