// The four settings: keys, defaults, and the order they are read and written in.
#include "app/settings_schema.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kestrune::test {
namespace {

// Keeps values in memory and records every access as "<op> <section>/<key>[=value]".
class RecordingStore : public ProfileStore {
 public:
  std::map<std::string, std::string> strings;
  std::map<std::string, int> ints;
  std::vector<std::string> log;

  std::string ReadString(const char* section, const char* key, const char* fallback) override {
    const std::string name = Name(section, key);
    log.push_back("read " + name);
    const auto found = strings.find(name);
    return found == strings.end() ? fallback : found->second;
  }
  int ReadInt(const char* section, const char* key, int fallback) override {
    const std::string name = Name(section, key);
    log.push_back("read " + name);
    const auto found = ints.find(name);
    return found == ints.end() ? fallback : found->second;
  }
  void WriteString(const char* section, const char* key, const std::string& value) override {
    log.push_back("write " + Name(section, key) + "=" + value);
    strings[Name(section, key)] = value;
  }
  void WriteInt(const char* section, const char* key, int value) override {
    log.push_back("write " + Name(section, key) + "=" + std::to_string(value));
    ints[Name(section, key)] = value;
  }

 private:
  static std::string Name(const char* section, const char* key) {
    return std::string(section) + "/" + key;
  }
};

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
  EXPECT_EQ(store.log, (std::vector<std::string>{
                           "write Options/Input File=" + std::string(300, 'x'),
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
