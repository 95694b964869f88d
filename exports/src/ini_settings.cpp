#include "velto/ini_settings.h"

#include <utility>

#include "velto/global.h"
#include "velto/ini.h"
#include "velto/limit_values.h"
#include "velto/unicode.h"
#include "velto/velto_center.h"

namespace velto {

void ApplyIniSettings(const std::u16string& file) {
  const auto read = [&file](std::u16string_view key) {
    return ReadIniString(file, u"Global", key);
  };
  TVeltoCenter::SetRoot(read(u"Root"));
  SetGlobal({read(u"UserCardNumber"), read(u"SiteId")});
  TransportSettings transport = TVeltoCenter::Settings();
  transport.tls_verify = read(u"TlsVerify") != u"0";
  transport.ca_file = Utf16ToUtf8(read(u"CAFile"));
  // A value that is no limit reads as the default, as a missing one does.
  transport.max_reply_size =
      ParseByteSize(Utf16ToUtf8(read(u"MaxReplySize"))).value_or(kDefaultMaxReplySize);
  transport.reply_timeout =
      ParseLimitSeconds(Utf16ToUtf8(read(u"ReplyTimeout"))).value_or(kDefaultReplyTimeout);
  TVeltoCenter::SetSettings(std::move(transport));
}

}  // namespace velto
