// The settings file: round trips, whole texts, bad files read as defaults, saves replace whole.
#include "app/wx/file_profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

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

// Values come back as the bytes they were, whatever their encoding, and the file holds those
// bytes: nothing is converted twice, and no value takes another key's line with it.
TEST_F(SettingsFile, AnyBytesOfAValueComeBackAsTheyWereAndHarmNoOtherKey) {
  for (const std::string& text :
       {std::string("caf\xE9.SCH"), std::string("\xC3("), std::string("\xED\xA0\x80"),
        std::string("\xF4\x90\x80\x80"), std::string("end\xC3"), std::string("\xEF\xBF\xBF"),
        std::string("\xF4\x80\x83\xA9")}) {
    SCOPED_TRACE(testing::PrintToString(text));
    DialogSettings saved;
    saved.input_file = text;
    saved.ini_file = "x" + text;
    saved.backups = true;
    saved.embedded = true;
    ASSERT_TRUE(Save(saved));
    EXPECT_NE(ReadWholeFile(path).find("\nInput\\ File=" + text + "\n"), std::string::npos);
    const DialogSettings loaded = Load();
    EXPECT_EQ(loaded.input_file, saved.input_file);
    EXPECT_EQ(loaded.ini_file, saved.ini_file);
    EXPECT_TRUE(loaded.backups);
    EXPECT_TRUE(loaded.embedded);
  }
}

// Another program's (or an editor's) bytes read as they are and are saved back unchanged; a
// NUL byte, which no line can hold, is dropped and ends nothing.
TEST_F(SettingsFile, AFileInAnotherEncodingKeepsItsBytesAcrossASave) {
  const char kBytes[] = "[Options]\nInput File=caf\xE9.SCH\nIni File=M\0SIM.INI\nBackup=1\n";
  WriteFile(std::string(kBytes, sizeof kBytes - 1));
  const DialogSettings loaded = Load();
  EXPECT_EQ(loaded.input_file, "caf\xE9.SCH");
  EXPECT_EQ(loaded.ini_file, "MSIM.INI");
  EXPECT_TRUE(loaded.backups);
  ASSERT_TRUE(Save(loaded));
  EXPECT_EQ(ReadWholeFile(path),
            "[Options]\nInput File=caf\xE9.SCH\nIni File=MSIM.INI\nBackup=1\nEmbeded=0\n");
}

// A NUL would end the value's line in the file; such a value is refused and the save fails,
// while the other values are saved and the refused key keeps what it held.
TEST_F(SettingsFile, AValueWithANulIsRefusedAndTheOthersAreSaved) {
  WriteFile("[Options]\nInput File=OLD.SCH\n");
  DialogSettings saved;
  saved.input_file = std::string("NEW\0.SCH", 8);
  saved.ini_file = "NEW.INI";
  saved.backups = true;
  EXPECT_FALSE(Save(saved));
  const DialogSettings loaded = Load();
  EXPECT_EQ(loaded.input_file, "OLD.SCH");
  EXPECT_EQ(loaded.ini_file, "NEW.INI");
  EXPECT_TRUE(loaded.backups);
  saved.input_file = "NEW.SCH";
  EXPECT_TRUE(Save(saved));
}

// Dotfile managers keep the file elsewhere and link it in: the links stay links, the file
// they lead to gets the settings beside itself and keeps its permissions.
TEST_F(SettingsFile, ALinkedFileIsWrittenThroughItsLinks) {
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // name, target as written
    bool target_exists;
  };
  const std::string stored = scratch.PathOf("dotfiles/kestrune/KESTRUNE.conf");
  const Case cases[] = {
      {"a relative link", {{path, "../dotfiles/kestrune/KESTRUNE.conf"}}, true},
      {"a chain of links",
       {{path, scratch.PathOf("dotfiles/current")},
        {scratch.PathOf("dotfiles/current"), "kestrune/KESTRUNE.conf"}},
       true},
      {"a link to a file not made yet", {{path, stored}}, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    fs::remove_all(scratch.path() / "Brindlewood");
    fs::remove_all(scratch.path() / "dotfiles");
    fs::create_directories(scratch.path() / "Brindlewood");
    fs::create_directories(scratch.path() / "dotfiles/kestrune");
    if (test.target_exists) {
      WriteWholeFile(stored, "[Options]\nBackup=1\n");
      fs::permissions(stored, fs::perms(0640));
    }
    for (const auto& [name, target] : test.links) fs::create_symlink(target, name);
    DialogSettings saved;
    saved.input_file = "LINKED.SCH";
    ASSERT_TRUE(Save(saved));
    for (const auto& link : test.links) EXPECT_TRUE(fs::is_symlink(link.first)) << link.first;
    EXPECT_NE(ReadWholeFile(stored).find("LINKED.SCH"), std::string::npos);
    EXPECT_EQ(fs::status(stored).permissions(), fs::perms(test.target_exists ? 0640 : 0600));
    EXPECT_EQ(Load().input_file, "LINKED.SCH");
    const auto folder = fs::directory_iterator(scratch.path() / "dotfiles/kestrune");
    EXPECT_EQ(std::distance(begin(folder), end(folder)), 1) << "a temporary file was left";
  }
}

TEST_F(SettingsFile, ALoopOfLinksGivesAFailedSaveAndStays) {
  std::filesystem::create_directories(scratch.path() / "Brindlewood");
  std::filesystem::create_symlink("loop", path);
  std::filesystem::create_symlink("KESTRUNE.conf", scratch.PathOf("Brindlewood/loop"));
  ExpectDefaults(Load());
  EXPECT_FALSE(Save(DialogSettings{}));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(std::filesystem::read_symlink(path), "loop");
}

}  // namespace
}  // namespace kestrune::test
