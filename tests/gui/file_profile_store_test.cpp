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
