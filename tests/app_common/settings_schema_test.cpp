// The four settings: keys, defaults, and the order they are read and written in.
#include "app/common/settings_schema.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app_common/recording_store.h"

namespace kestrune::test {
namespace {

TEST(Settings, FirstStartGivesTheDefaultsReadInOrder) {
  RecordingStore store;
  const DialogSettings settings = LoadSettings(store);
  EXPECT_EQ(settings.input_file, "");
  EXPECT_EQ(settings.ini_file, "C:\\WINDOWS\\MSIM.INI");
  EXPECT_FALSE(settings.backups);
  EXPECT_FALSE(settings.embedded);
  EXPECT_EQ(store.log, (std::vector<std::string>{"read Options/Input File", "read Options/Ini File",
                                                 "read Options/Backup", "read Options/Embeded"}));
  EXPECT_STREQ(kSettingsCompanyKey, "Brindlewood");
}

TEST(Settings, AnyNonZeroIntegerTicksItsBoxAndIsSavedBackAsOne) {
  RecordingStore store;
  store.ints["Options/Backup"] = -7;
  store.ints["Options/Embeded"] = 2;
  const DialogSettings loaded = LoadSettings(store);
  EXPECT_TRUE(loaded.backups);
  EXPECT_TRUE(loaded.embedded);
  SaveSettings(store, loaded);
  EXPECT_EQ(store.ints["Options/Backup"], 1);
  EXPECT_EQ(store.ints["Options/Embeded"], 1);
}

TEST(Settings, SaveWritesTheWholeTextsThenTheBoxesInOrder) {
  RecordingStore store;
  DialogSettings settings;
  settings.input_file = std::string(300, 'x');
  settings.ini_file = "D:\\TOOLS\\MSIM.INI";
  settings.backups = false;
  settings.embedded = true;
  SaveSettings(store, settings);
  EXPECT_EQ(store.log,
            (std::vector<std::string>{"write Options/Input File=" + std::string(300, 'x'),
                                      "write Options/Ini File=D:\\TOOLS\\MSIM.INI",
                                      "write Options/Backup=0", "write Options/Embeded=1"}));
  const DialogSettings back = LoadSettings(store);
  EXPECT_EQ(back.input_file, settings.input_file);
  EXPECT_EQ(back.ini_file, settings.ini_file);
  EXPECT_FALSE(back.backups);
  EXPECT_TRUE(back.embedded);
}

}  // namespace
}  // namespace kestrune::test
