#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velto::cli {

// Where a setting's value came from, strongest first.
enum class SettingSource { Flag, Environment, IniFile, Default };

struct Setting {
  std::string value;
  SettingSource source = SettingSource::Default;
};

// The three settings of the library, each from the first of: its flag, its environment
// variable, the INI file's section "Global", the library's default. The two reply limits
// come from their flag, the INI file or the default, and hold the value in force as a
// whole number: an INI value that is no limit gives the default, as in the library.
struct Settings {
  Setting root;
  Setting card;
  Setting site;
  Setting max_reply_size;  // bytes
  Setting reply_timeout;   // seconds
  std::string ini_file;    // absolute; empty without --ini
};

struct SettingFlags {
  std::optional<std::string> root;
  std::optional<std::string> card;
  std::optional<std::string> site;
  std::optional<std::string> max_reply_size;  // as given, with its suffix
  std::optional<std::string> reply_timeout;
  std::string ini_file;  // as given
};

using Environment = std::function<std::optional<std::string>(const char* name)>;

// Throws std::runtime_error when the INI file named does not exist.
Settings ResolveSettings(const SettingFlags& flags, const Environment& environment);

// Whether a flag's text is a reply limit the library takes: a size with an optional K, M or
// G suffix, a time limit in whole seconds.
bool IsReplySize(std::string_view text);
bool IsReplyTimeout(std::string_view text);

// What "velto config" prints: one line per setting with its source; the card masked.
std::string DescribeSettings(const Settings& settings);

// Hands the settings to the library: VeltoOpen for the INI file (which also brings its TLS
// keys and reply limits; see LibraryIni for limits set by flags), then VeltoInit with the
// three values. False, with the message, when the library
// refused them.
bool ApplySettings(const Settings& settings, std::string& message);

}  // namespace velto::cli
