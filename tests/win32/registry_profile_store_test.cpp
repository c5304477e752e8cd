// The registry settings store: where its values live, their types, and what reads as absent.
#include <gtest/gtest.h>

#include <string>

#include "app/common/settings_schema.h"
#include "app/win32/registry_profile_store.h"
#include "tests/app_common/awkward_texts.h"
#include "tests/win32/registry_values.h"

namespace kestrune::test {
namespace {

class RegistryStore : public ::testing::Test {
 protected:
  RegistryStore() { DeleteApplicationKey(kApplication); }
  ~RegistryStore() override { DeleteApplicationKey(kApplication); }

  static constexpr char kApplication[] = "KestruneTest.RegistryStore";
  const std::string key_ = OptionsKeyOf(kApplication);
  RegistryProfileStore store_{"Brindlewood", kApplication};
};

TEST_F(RegistryStore, WritesStringsAsRegSzAndNumbersAsRegDwordUnderCompanyApplicationAndSection) {
  store_.WriteString("Options", "Input File", "C:\\WORK\\AMP.SCH");
  store_.WriteInt("Options", "Backup", 1);
  store_.WriteInt("Options", "Embeded", -1);
  const auto text = ReadStoredValue(key_, "Input File");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(text->bytes, std::string("C:\\WORK\\AMP.SCH") + '\0');
  const auto number = ReadStoredValue(key_, "Backup");
  ASSERT_TRUE(number.has_value());
  EXPECT_EQ(number->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number->bytes, DwordValue(1).bytes);
  EXPECT_EQ(ReadStoredValue(key_, "Embeded")->bytes, DwordValue(0xFFFFFFFF).bytes);
  EXPECT_EQ(store_.ReadInt("Options", "Embeded", 0), -1);
  EXPECT_TRUE(store_.Flush());
}

TEST(RegistryStoreFailure, FlushReportsAFailedWriteOnce) {
  RegistryProfileStore store("Brindlewood", std::string(300, 'k'));  // too long for a key name
  store.WriteInt("Options", "Backup", 1);
  EXPECT_FALSE(store.Flush());
  EXPECT_TRUE(store.Flush());
}

TEST_F(RegistryStore, ReadsWhatWasWrittenThereByAnyProgram) {
  StoreValue(key_, "Input File", StringValue(std::string(5000, 'x')));
  StoreValue(key_, "Ini File", StoredValue{REG_SZ, "D:\\MSIM.INI"});  // without its NUL
  StoreValue(key_, "Backup", DwordValue(3));
  EXPECT_EQ(store_.ReadString("Options", "Input File", "fallback"), std::string(5000, 'x'));
  EXPECT_EQ(store_.ReadString("Options", "Ini File", "fallback"), "D:\\MSIM.INI");
  EXPECT_EQ(store_.ReadInt("Options", "Backup", 0), 3);
  StoreValue(key_, "Empty", StringValue(""));
  EXPECT_EQ(store_.ReadString("Options", "Empty", "fallback"), "");
}

TEST_F(RegistryStore, AbsentOrMistypedValuesGiveTheFallback) {
  EXPECT_EQ(store_.ReadString("Options", "Input File", "fallback"), "fallback");
  EXPECT_EQ(store_.ReadInt("Options", "Backup", 42), 42);
  StoreValue(key_, "Text as number", DwordValue(1));
  StoreValue(key_, "Number as text", StringValue("1"));
  StoreValue(key_, "Short number", StoredValue{REG_DWORD, "ab"});
  StoreValue(key_, "Expandable", StoredValue{REG_EXPAND_SZ, std::string("%TEMP%") + '\0'});
  EXPECT_EQ(store_.ReadString("Options", "Text as number", "fallback"), "fallback");
  EXPECT_EQ(store_.ReadInt("Options", "Number as text", 42), 42);
  EXPECT_EQ(store_.ReadInt("Options", "Short number", 42), 42);
  EXPECT_EQ(store_.ReadString("Options", "Expandable", "fallback"), "fallback");
  EXPECT_EQ(store_.ReadString("Other Section", "Text as number", "fallback"), "fallback");
}

TEST_F(RegistryStore, GivesBackEveryTextByteForByte) {
  for (const std::string text : kAwkwardTexts) {
    store_.WriteString("Options", "Input File", text);
    EXPECT_EQ(store_.ReadString("Options", "Input File", "fallback"), text);
  }
}

// Values are ANSI bytes: any byte but NUL comes back, and a NUL ends the value there, as a
// REG_SZ read ends; no other value changes.
TEST_F(RegistryStore, AValueWithANulOrBytesOfNoEncodingHarmsNoOtherValue) {
  std::string every_byte;
  for (int byte = 1; byte < 256; ++byte) every_byte += static_cast<char>(byte);
  const DialogSettings saved{std::string("C:\\A\0B.SCH", 10), every_byte, true, true};
  SaveSettings(store_, saved);
  EXPECT_TRUE(store_.Flush());
  const DialogSettings loaded = LoadSettings(store_);
  EXPECT_EQ(loaded.input_file, "C:\\A");
  EXPECT_EQ(loaded.ini_file, every_byte);
  EXPECT_TRUE(loaded.backups);
  EXPECT_TRUE(loaded.embedded);
}

TEST_F(RegistryStore, TheFourSettingsRoundTripThroughTheRegistry) {
  const DialogSettings first = LoadSettings(store_);
  EXPECT_EQ(first.input_file, "");
  EXPECT_EQ(first.ini_file, kDefaultIniPath);
  EXPECT_FALSE(first.backups);
  EXPECT_FALSE(first.embedded);
  const DialogSettings changed{"C:\\A.SCH", "C:\\B.INI", true, false};
  SaveSettings(store_, changed);
  const DialogSettings again = LoadSettings(store_);
  EXPECT_EQ(again.input_file, changed.input_file);
  EXPECT_EQ(again.ini_file, changed.ini_file);
  EXPECT_TRUE(again.backups);
  EXPECT_FALSE(again.embedded);
}

}  // namespace
}  // namespace kestrune::test
