#pragma once

#include <string>
#include <string_view>

namespace velto {

// The envelope of VeltoPortalUrl: "code" "SUCCESS" and "data" the gate address of the
// first portal the server lists for the person of the configured site, or an empty object
// when it lists none.
std::u16string PortalUrlEnvelope(std::u16string_view person_id);

}  // namespace velto
