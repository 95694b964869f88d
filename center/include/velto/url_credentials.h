#pragma once

#include <string_view>

namespace velto {

// Refuses (TransportError) a URL whose server part holds a user name or password. No
// request carries credentials (there is no basic authentication), so rather than send
// them or drop them unseen, the request fails before anything is sent. The server part is
// read as leniently as any client reads it: after an optional scheme and any number of
// "/" or "\", up to the next "/", "\", "?" or "#".
void RefuseCredentialsInUrl(std::string_view url);

}  // namespace velto
