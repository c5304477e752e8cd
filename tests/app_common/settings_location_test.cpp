// Where the settings file lives: XDG_CONFIG_HOME when usable, else ~/.config.
#include "app/common/settings_location.h"

#include <gtest/gtest.h>

namespace kestrune::test {
namespace {

TEST(SettingsLocation, UsesAnAbsoluteXdgConfigHome) {
  EXPECT_EQ(SettingsFilePath("/srv/cfg", "/home/ann", "Brindlewood", "KESTRUNE"),
            "/srv/cfg/Brindlewood/KESTRUNE.conf");
}

TEST(SettingsLocation, FallsBackToDotConfigWhenXdgConfigHomeIsUnsetEmptyOrRelative) {
  for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
    EXPECT_EQ(SettingsFilePath(xdg, "/home/ann", "Brindlewood", "KESTRUNE"),
              "/home/ann/.config/Brindlewood/KESTRUNE.conf");
  }
}

TEST(SettingsLocation, ARenamedExecutableGetsAFileOfItsOwn) {
  EXPECT_EQ(SettingsFilePath("/c", "/h", "Brindlewood", "KESTRUNE-old"),
            "/c/Brindlewood/KESTRUNE-old.conf");
}

}  // namespace
}  // namespace kestrune::test
