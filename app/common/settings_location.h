// Where the settings file lives on a desktop that follows the XDG base directory rules.
#pragma once

#include <string>

namespace kestrune {

// "<config home>/<company>/<app name>.conf", the config home being xdg_config_home when
// it is an absolute path, else "<home>/.config". Either input may be null.
std::string SettingsFilePath(const char* xdg_config_home, const char* home,
                             const std::string& company, const std::string& app_name);

}  // namespace kestrune
