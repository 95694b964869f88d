#pragma once

#include <string>

namespace velto {

// VeltoOpen's reading of the INI file's section "Global": Root, UserCardNumber and SiteId
// (absent keys give empty text), and the TLS settings TlsVerify ("0" turns verification off)
// and CAFile (an extra PEM bundle).
void ApplyIniSettings(const std::u16string& file);

}  // namespace velto
