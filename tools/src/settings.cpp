#include "settings.h"

#include <filesystem>
#include <stdexcept>

#include "host_text.h"
#include "utf8_path.h"
#include "velto/default_root.h"
#include "velto/ini.h"
#include "velto/masked_card.h"
#include "velto/unicode.h"
#include "velto_box.h"

namespace velto::cli {
namespace {

struct SettingName {
  const char* label;
  const char* flag;
  const char* variable;
  const char16_t* ini_key;
};

constexpr SettingName kRoot{"root", "--root", "VELTO_ROOT", u"Root"};
constexpr SettingName kCard{"card", "--card", "VELTO_CARD", u"UserCardNumber"};
constexpr SettingName kSite{"site", "--site", "VELTO_SITE", u"SiteId"};

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
  return settings;
}

std::string DescribeSettings(const Settings& settings) {
  const std::string card = Utf16ToUtf8(MaskedCardNumber(Utf8ToUtf16(settings.card.value)));
  return Describe(kRoot, settings.root, settings.root.value, settings.ini_file) +
         Describe(kCard, settings.card, card, settings.ini_file) +
         Describe(kSite, settings.site, settings.site.value, settings.ini_file);
}

bool ApplySettings(const Settings& settings, std::string& message) {
  if (!settings.ini_file.empty()) {
    const HostText file(settings.ini_file);
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
