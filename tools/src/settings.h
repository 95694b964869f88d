#pragma once

#include <functional>
#include <optional>
#include <string>

namespace velto::cli {

// Where a setting's value came from, strongest first.
enum class SettingSource { Flag, Environment, IniFile, Default };

struct Setting {
  std::string value;
  SettingSource source = SettingSource::Default;
};

// The three settings of the library, each from the first of: its flag, its environment
// variable, the INI file's section "Global", the library's default.
struct Settings {
  Setting root;
  Setting card;
  Setting site;
  std::string ini_file;  // absolute; empty without --ini
};

struct SettingFlags {
  std::optional<std::string> root;
  std::optional<std::string> card;
  std::optional<std::string> site;
  std::string ini_file;  // as given
};

using Environment = std::function<std::optional<std::string>(const char* name)>;

// Throws std::runtime_error when the INI file named does not exist.
Settings ResolveSettings(const SettingFlags& flags, const Environment& environment);

// What "velto config" prints: one line per setting with its source; the card masked.
std::string DescribeSettings(const Settings& settings);

// Hands the settings to the library: VeltoOpen for the INI file (which also brings its TLS
// keys), then VeltoInit with the three values. False, with the message, when the library
// refused them.
bool ApplySettings(const Settings& settings, std::string& message);

}  // namespace velto::cli
