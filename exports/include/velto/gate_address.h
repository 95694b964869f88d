#pragma once

#include <string>
#include <string_view>

namespace velto {

// The address of a portal's gate page: the root, "/portal/", the portal id as one
// percent-encoded path segment, and "/gate".
std::u16string GateAddress(std::u16string_view portal_id);

}  // namespace velto
