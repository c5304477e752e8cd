// The settings file: round trips, whole texts, bad files read as defaults, saves replace whole.
#include "app/wx/file_profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "app/common/settings_schema.h"
#include "tests/app_common/awkward_texts.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

class SettingsFile : public testing::Test {
 protected:
  ScratchDir scratch;
  const std::string path = scratch.PathOf("Brindlewood/KESTRUNE.conf");

  void WriteFile(const std::string& bytes) {
    std::filesystem::create_directories(scratch.path() / "Brindlewood");
    WriteWholeFile(path, bytes);
  }
  DialogSettings Load() {
    FileProfileStore store(wxString::FromUTF8(path));
    return LoadSettings(store);
  }
  bool Save(const DialogSettings& settings) {
    FileProfileStore store(wxString::FromUTF8(path));
    SaveSettings(store, settings);
    return store.Flush();
  }
};

void ExpectDefaults(const DialogSettings& settings) {
  EXPECT_EQ(settings.input_file, "");
  EXPECT_EQ(settings.ini_file, kDefaultIniPath);
  EXPECT_FALSE(settings.backups);
  EXPECT_FALSE(settings.embedded);
}

TEST_F(SettingsFile, SavingCreatesTheCompanyFolderAndRoundTripsEveryValue) {
  DialogSettings saved;
  saved.input_file = " C:\\WORK\\AMP.SCH; \"quoted\" \xC3\xA9 ";
  saved.ini_file = std::string(1000, 'p') + "\\MSIM.INI";
  saved.backups = true;
  ASSERT_TRUE(Save(saved));
  const DialogSettings loaded = Load();
  EXPECT_EQ(loaded.input_file, saved.input_file);
  EXPECT_EQ(loaded.ini_file, saved.ini_file);
  EXPECT_TRUE(loaded.backups);
  EXPECT_FALSE(loaded.embedded);
}

TEST_F(SettingsFile, GivesBackEveryTextByteForByte) {
  for (const std::string text : kAwkwardTexts) {
    DialogSettings saved;
    saved.input_file = text;
    saved.ini_file = text;
    ASSERT_TRUE(Save(saved));
    const DialogSettings loaded = Load();
    EXPECT_EQ(loaded.input_file, text);
    EXPECT_EQ(loaded.ini_file, text);
  }
}

TEST_F(SettingsFile, TheFileHoldsTheOptionsSectionInOrder) {
  DialogSettings saved;
  saved.input_file = "A.SCH";
  saved.ini_file = kDefaultIniPath;
  saved.embedded = true;
  ASSERT_TRUE(Save(saved));
  EXPECT_EQ(
      ReadWholeFile(path),
      "[Options]\nInput\\ File=A.SCH\nIni\\ File=C:\\\\WINDOWS\\\\MSIM.INI\nBackup=0\nEmbeded=1\n");
}

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndLoadingCreatesNothing) {
  ExpectDefaults(Load());
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "Brindlewood"));
}

TEST_F(SettingsFile, StoredNonZeroIntegersTickTheBoxes) {
  WriteFile("[Options]\nBackup=-3\nEmbeded= 42 \n");
  const DialogSettings loaded = Load();
  EXPECT_TRUE(loaded.backups);
  EXPECT_TRUE(loaded.embedded);
}

TEST_F(SettingsFile, UnreadableIntegersGiveTheirDefaults) {
  WriteFile("[Options]\nBackup=yes\nEmbeded=4294967297\n");
  const DialogSettings loaded = Load();
  EXPECT_FALSE(loaded.backups);
  EXPECT_FALSE(loaded.embedded);
}

TEST_F(SettingsFile, CorruptFilesGiveTheDefaults) {
  for (const std::string& bytes :
       {std::string("\xFF\xFE\x00\x01garbage\x80\x81", 13), std::string("[Options\n=\n[\n"),
        std::string("Input File=outside any section\n[Other]\nBackup=1\n")}) {
    WriteFile(bytes);
    ExpectDefaults(Load());
  }
}

TEST_F(SettingsFile, AFolderInPlaceOfTheFileGivesDefaultsAndAFailedSave) {
  std::filesystem::create_directories(path);
  ExpectDefaults(Load());
  EXPECT_FALSE(Save(DialogSettings{}));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  // The temporary file of the failed save is gone.
  const auto folder = std::filesystem::directory_iterator(scratch.path() / "Brindlewood");
  EXPECT_EQ(std::distance(begin(folder), end(folder)), 1);
}

TEST_F(SettingsFile, SavingReplacesTheFileAndLeavesNoTemporaryFileBehind) {
  WriteFile("[Options]\nInput File=OLD.SCH\n");
  DialogSettings saved;
  saved.input_file = "NEW.SCH";
  ASSERT_TRUE(Save(saved));
  EXPECT_EQ(Load().input_file, "NEW.SCH");
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path() / "Brindlewood")) {
    EXPECT_EQ(entry.path().filename(), "KESTRUNE.conf");
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFile, WritesWithoutFlushLeaveTheFileAlone) {
  WriteFile("[Options]\nInput File=KEPT.SCH\n");
  {
    FileProfileStore store(wxString::FromUTF8(path));
    store.WriteString("Options", "Input File", "LOST.SCH");
  }
  EXPECT_EQ(Load().input_file, "KEPT.SCH");
}

}  // namespace
}  // namespace kestrune::test
