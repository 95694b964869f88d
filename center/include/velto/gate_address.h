#pragma once

#include <string>
#include <string_view>

namespace velto {

// The address of a portal's gate: the root URL, "/portal/", the portal id as one
// percent-encoded path segment, and "/gate". Nothing is sent.
std::u16string GateAddress(std::u16string_view portal_id);

}  // namespace velto
