// The four remembered settings: keys and defaults in one place.
#include "app/common/settings_schema.h"

namespace kestrune {

const char kSettingsCompanyKey[] = "Brindlewood";

namespace {

constexpr char kSection[] = "Options";
constexpr char kInputFileKey[] = "Input File";
constexpr char kIniFileKey[] = "Ini File";
constexpr char kBackupKey[] = "Backup";
// The key keeps the spelling that stored settings already use.
constexpr char kEmbeddedKey[] = "Embeded";

}  // namespace

DialogSettings LoadSettings(ProfileStore& store) {
  DialogSettings settings;
  settings.input_file = store.ReadString(kSection, kInputFileKey, "");
  settings.ini_file = store.ReadString(kSection, kIniFileKey, kDefaultIniPath);
  settings.backups = store.ReadInt(kSection, kBackupKey, 0) != 0;
  settings.embedded = store.ReadInt(kSection, kEmbeddedKey, 0) != 0;
  return settings;
}

void SaveSettings(ProfileStore& store, const DialogSettings& settings) {
  store.WriteString(kSection, kInputFileKey, settings.input_file);
  store.WriteString(kSection, kIniFileKey, settings.ini_file);
  store.WriteInt(kSection, kBackupKey, settings.backups ? 1 : 0);
  store.WriteInt(kSection, kEmbeddedKey, settings.embedded ? 1 : 0);
}

}  // namespace kestrune
