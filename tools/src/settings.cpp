#include "settings.h"

#include <filesystem>
#include <stdexcept>

#include "host_text.h"
#include "library_ini.h"
#include "utf8_path.h"
#include "velto/default_root.h"
#include "velto/ini.h"
#include "velto/limit_values.h"
#include "velto/masked_card.h"
#include "velto/transport.h"
#include "velto/unicode.h"
#include "velto_box.h"

namespace velto::cli {
namespace {

struct SettingName {
  const char* label;
  const char* flag;
  const char* variable;  // none for the reply limits
  const char16_t* ini_key;
};

constexpr SettingName kRoot{"root", "--root", "VELTO_ROOT", u"Root"};
constexpr SettingName kCard{"card", "--card", "VELTO_CARD", u"UserCardNumber"};
constexpr SettingName kSite{"site", "--site", "VELTO_SITE", u"SiteId"};
constexpr SettingName kMaxReplySize{"max-reply-size", "--max-reply-size", nullptr, u"MaxReplySize"};
constexpr SettingName kReplyTimeout{"reply-timeout", "--reply-timeout", nullptr, u"ReplyTimeout"};

using LimitParser = std::optional<uint64_t> (*)(std::string_view);

std::optional<uint64_t> Seconds(std::string_view text) {
  const std::optional<std::chrono::seconds> seconds = ParseLimitSeconds(text);
  if (!seconds) return {};
  return static_cast<uint64_t>(seconds->count());
}

// The flag was checked when the command line was read; an INI value that is no limit
// gives the default, as the library reads it.
Setting ResolveLimit(const SettingName& name, const std::optional<std::string>& flag,
                     const std::string& ini_file, LimitParser parse, uint64_t fallback) {
  if (flag) {
    if (const std::optional<uint64_t> value = parse(*flag)) {
      return {std::to_string(*value), SettingSource::Flag};
    }
  }
  if (!ini_file.empty()) {
    const std::string text =
        Utf16ToUtf8(ReadIniString(Utf8ToUtf16(ini_file), u"Global", name.ini_key));
    if (const std::optional<uint64_t> value = parse(text)) {
      return {std::to_string(*value), SettingSource::IniFile};
    }
  }
  return {std::to_string(fallback), SettingSource::Default};
}

Setting Resolve(const SettingName& name, const std::optional<std::string>& flag,
                const Environment& environment, const std::string& ini_file,
                std::string_view fallback) {
  if (flag) return {*flag, SettingSource::Flag};
  if (std::optional<std::string> value = environment(name.variable)) {
    return {*value, SettingSource::Environment};
  }
  if (!ini_file.empty()) {
    return {Utf16ToUtf8(ReadIniString(Utf8ToUtf16(ini_file), u"Global", name.ini_key)),
            SettingSource::IniFile};
  }
  return {std::string(fallback), SettingSource::Default};
}

// A file name without a folder would be looked for in the Windows folder; a command line
// means the current one.
std::string AbsoluteIniFile(const std::string& given) {
  if (given.empty()) return {};
  const std::filesystem::path path = PathFromUtf8(given);
  if (!std::filesystem::is_regular_file(path)) {
    throw std::runtime_error("no INI file " + given);
  }
  return Utf8FromPath(std::filesystem::absolute(path));
}

std::string Describe(const SettingName& name, const Setting& setting, std::string_view shown,
                     const std::string& ini_file) {
  std::string source;
  switch (setting.source) {
    case SettingSource::Flag:
      source = name.flag;
      break;
    case SettingSource::Environment:
      source = name.variable;
      break;
    case SettingSource::IniFile:
      source = ini_file;
      break;
    case SettingSource::Default:
      source = "default";
      break;
  }
  return std::string(name.label) + ": " + std::string(shown.empty() ? "(none)" : shown) + " (" +
         source + ")\n";
}

}  // namespace

Settings ResolveSettings(const SettingFlags& flags, const Environment& environment) {
  Settings settings;
  settings.ini_file = AbsoluteIniFile(flags.ini_file);
  const std::string default_root = Utf16ToUtf8(kDefaultRoot);
  settings.root = Resolve(kRoot, flags.root, environment, settings.ini_file, default_root);
  settings.card = Resolve(kCard, flags.card, environment, settings.ini_file, "");
  settings.site = Resolve(kSite, flags.site, environment, settings.ini_file, "");
  settings.max_reply_size = ResolveLimit(kMaxReplySize, flags.max_reply_size, settings.ini_file,
                                         ParseByteSize, kDefaultMaxReplySize);
  settings.reply_timeout = ResolveLimit(kReplyTimeout, flags.reply_timeout, settings.ini_file,
                                        Seconds, kDefaultReplyTimeout.count());
  return settings;
}

bool IsReplySize(std::string_view text) {
  return ParseByteSize(text).has_value();
}

bool IsReplyTimeout(std::string_view text) {
  return Seconds(text).has_value();
}

std::string DescribeSettings(const Settings& settings) {
  const std::string card = Utf16ToUtf8(MaskedCardNumber(Utf8ToUtf16(settings.card.value)));
  // An INI file without Root empties it, as the library reads the file; it then sends its
  // requests to bare paths, which fail.
  const std::string root = settings.root.value.empty()
                               ? "(empty: every request fails; give --root, VELTO_ROOT or Root in "
                                 "[Global] of the INI file)"
                               : settings.root.value;
  return Describe(kRoot, settings.root, root, settings.ini_file) +
         Describe(kCard, settings.card, card, settings.ini_file) +
         Describe(kSite, settings.site, settings.site.value, settings.ini_file) +
         Describe(kMaxReplySize, settings.max_reply_size, settings.max_reply_size.value + " bytes",
                  settings.ini_file) +
         Describe(kReplyTimeout, settings.reply_timeout, settings.reply_timeout.value + " seconds",
                  settings.ini_file);
}

bool ApplySettings(const Settings& settings, std::string& message) {
  const LibraryIni ini(settings);
  if (!ini.Name().empty()) {
    const HostText file(ini.Name());
    VeltoOpen(file.Get());
    message = LastLibraryError();
    if (!message.empty()) return false;
  }
  const HostText root(settings.root.value), card(settings.card.value), site(settings.site.value);
  VeltoInit(root.Get(), card.Get(), site.Get());
  message = LastLibraryError();
  return message.empty();
}

}  // namespace velto::cli
