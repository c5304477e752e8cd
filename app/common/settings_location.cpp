// Where the settings file lives on a desktop that follows the XDG base directory rules.
#include "app/common/settings_location.h"

namespace kestrune {

namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string ConfigHome(const char* xdg_config_home, const char* home) {
  // A relative XDG_CONFIG_HOME is invalid and must be ignored.
  if (IsAbsolute(xdg_config_home)) return xdg_config_home;
  return std::string(home != nullptr ? home : "") + "/.config";
}

}  // namespace

std::string SettingsFilePath(const char* xdg_config_home, const char* home,
                             const std::string& company, const std::string& app_name) {
  return ConfigHome(xdg_config_home, home) + "/" + company + "/" + app_name + ".conf";
}

}  // namespace kestrune
