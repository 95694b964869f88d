#pragma once

#include <string>
#include <string_view>

namespace velto {

// The trace line of VeltoInit. The card number is a credential: all but its last four
// characters are written as "*".
std::u16string InitTraceLine(std::u16string_view root, std::u16string_view card_number,
                             std::u16string_view site_id);

}  // namespace velto
