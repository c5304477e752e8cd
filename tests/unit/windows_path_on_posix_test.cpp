// Checks how Windows-form paths become POSIX names (separators, drive letters, limits) and how
// their letter case is found on disk.
#include "engine/platform/windows_path_on_posix.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

// Gives an environment variable a value (or none) for one test, and restores it afterwards.
class EnvironmentOverride {
 public:
  EnvironmentOverride(const char* name, const char* value) : name_(name) {
    const char* old = getenv(name);
    had_value_ = old != nullptr;
    if (had_value_) old_value_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvironmentOverride() {
    if (had_value_) {
      setenv(name_, old_value_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  const char* name_;
  bool had_value_ = false;
  std::string old_value_;
};

// Makes directory the current one for one test.
class CurrentDirectoryOverride {
 public:
  explicit CurrentDirectoryOverride(const fs::path& directory) : old_(fs::current_path()) {
    fs::current_path(directory);
  }
  ~CurrentDirectoryOverride() { fs::current_path(old_); }
  CurrentDirectoryOverride(const CurrentDirectoryOverride&) = delete;
  CurrentDirectoryOverride& operator=(const CurrentDirectoryOverride&) = delete;

 private:
  fs::path old_;
};

std::optional<std::string> Map(const std::string& text) {
  char out[4096];
  if (!MapWindowsPath(text.c_str(), out, sizeof out)) return std::nullopt;
  return std::string(out);
}

// The text in the letter case found on disk, still in Windows form.
std::optional<std::string> Match(const std::string& text) {
  char out[4096];
  if (!MatchLetterCase(text.c_str(), out, sizeof out)) return std::nullopt;
  return std::string(out);
}

class WindowsPathTest : public ::testing::Test {
 protected:
  void MakeDirectory(const std::string& relative) {
    fs::create_directories(scratch_.path() / relative);
  }
  void MakeFile(const std::string& relative) {
    const fs::path file = scratch_.path() / relative;
    fs::create_directories(file.parent_path());
    test::WriteWholeFile(file, "x");
  }
  std::string Root() const { return scratch_.path().string(); }

  test::ScratchDir scratch_;
};

TEST_F(WindowsPathTest, BackslashesAndSlashesBothSeparateDirectories) {
  MakeFile("Work/Amp.Sch");
  EXPECT_EQ(Map(Root() + "\\Work\\Amp.Sch"), Root() + "/Work/Amp.Sch");
  EXPECT_EQ(Map(Root() + "/Work\\Amp.Sch"), Root() + "/Work/Amp.Sch");
  EXPECT_EQ(Map("\\"), "/");
}

TEST_F(WindowsPathTest, DoubledSeparatorsCollapseAndATrailingOneStays) {
  MakeFile("Work/Amp.Sch");
  EXPECT_EQ(Map(Root() + "\\\\Work//\\Amp.Sch"), Root() + "/Work/Amp.Sch");
  EXPECT_EQ(Map(Root() + "\\Work\\\\"), Root() + "/Work/");
}

TEST_F(WindowsPathTest, RelativePathsStayRelativeToTheCurrentDirectory) {
  MakeFile("Work/Amp.Sch");
  const CurrentDirectoryOverride inside(scratch_.path());
  EXPECT_EQ(Map("work\\AMP.SCH"), "work/AMP.SCH");
  EXPECT_EQ(Map(".\\Work\\..\\Work\\Amp.Sch"), "./Work/../Work/Amp.Sch");
  EXPECT_EQ(Match("work\\AMP.SCH"), "Work\\Amp.Sch");
  EXPECT_EQ(Match(".\\WORK\\..\\work/amp.sch"), ".\\Work\\..\\Work/Amp.Sch");
}

TEST_F(WindowsPathTest, DriveLetterOpensTheDriveInTheWinePrefix) {
  const EnvironmentOverride prefix("WINEPREFIX", Root().c_str());
  MakeFile("dosdevices/c:/WINDOWS/MSIM.INI");
  EXPECT_EQ(Map("C:\\WINDOWS\\MSIM.INI"), Root() + "/dosdevices/c:/WINDOWS/MSIM.INI");
  EXPECT_EQ(Map("c:\\windows"), Root() + "/dosdevices/c:/windows");
  EXPECT_EQ(Map("C:"), Root() + "/dosdevices/c:");
  EXPECT_EQ(Match("C:\\windows\\msim.ini"), "C:\\WINDOWS\\MSIM.INI");
  // A drive Wine does not have keeps the path as given below its folder.
  EXPECT_EQ(Map("D:\\Lib\\Parts.slb"), Root() + "/dosdevices/d:/Lib/Parts.slb");
  EXPECT_EQ(Match("D:\\lib\\parts.slb"), "D:\\lib\\parts.slb");
}

TEST_F(WindowsPathTest, DriveLetterWithoutSeparatorStartsAtTheDriveRoot) {
  const EnvironmentOverride prefix("WINEPREFIX", Root().c_str());
  MakeFile("dosdevices/c:/WINDOWS/MSIM.INI");
  EXPECT_EQ(Map("C:WINDOWS\\MSIM.INI"), Root() + "/dosdevices/c:/WINDOWS/MSIM.INI");
  EXPECT_EQ(Match("C:windows\\MSIM.ini"), "C:WINDOWS\\MSIM.INI");
}

TEST_F(WindowsPathTest, WinePrefixDefaultsToTheHomeDirectory) {
  const EnvironmentOverride no_prefix("WINEPREFIX", nullptr);
  const EnvironmentOverride home("HOME", Root().c_str());
  MakeDirectory(".wine/dosdevices/c:/Windows");
  EXPECT_EQ(Map("C:\\Windows\\MSIM.INI"), Root() + "/.wine/dosdevices/c:/Windows/MSIM.INI");
  EXPECT_EQ(Match("C:\\WINDOWS\\MSIM.INI"), "C:\\Windows\\MSIM.INI");
}

TEST_F(WindowsPathTest, DriveLetterWithoutPrefixOrHomeCannotBeMapped) {
  const EnvironmentOverride no_prefix("WINEPREFIX", nullptr);
  const EnvironmentOverride no_home("HOME", nullptr);
  EXPECT_EQ(Map("C:\\WINDOWS\\MSIM.INI"), std::nullopt);
}

TEST_F(WindowsPathTest, MappingTakesEveryComponentAsSpelled) {
  MakeFile("Work/Amp.Sch");
  EXPECT_EQ(Map(Root() + "\\work\\AMP.SCH"), Root() + "/work/AMP.SCH");
}

TEST_F(WindowsPathTest, ComponentsTakeTheLetterCaseFoundOnDisk) {
  MakeFile("Work/Amp.Sch");
  MakeFile("Work/Amplifier.Sch");
  EXPECT_EQ(Match(Root() + "\\work\\AMP.SCH"), Root() + "\\Work\\Amp.Sch");
  EXPECT_EQ(Match(Root() + "\\work\\AMPLIFIER.SCH"), Root() + "\\Work\\Amplifier.Sch");
  EXPECT_EQ(Match(Root() + "/WORK//amp.sch"), Root() + "/Work//Amp.Sch");
}

TEST_F(WindowsPathTest, ExactSpellingWinsOverCaseVariants) {
  MakeFile("Work/amp.sch");
  MakeFile("Work/AMP.SCH");
  EXPECT_EQ(Match(Root() + "\\Work\\AMP.SCH"), Root() + "\\Work\\AMP.SCH");
  EXPECT_EQ(Match(Root() + "\\Work\\amp.sch"), Root() + "\\Work\\amp.sch");
}

TEST_F(WindowsPathTest, AmbiguousCaseVariantsKeepTheGivenSpelling) {
  for (const char* name : {"Amp.Sch", "AMP.sch", "Amplifier.Sch", "AMPLIFIER.sch"}) {
    MakeFile(std::string("Work/") + name);
  }
  EXPECT_EQ(Match(Root() + "\\work\\amp.SCH"), Root() + "\\Work\\amp.SCH");
  EXPECT_EQ(Match(Root() + "\\work\\amplifier.SCH"), Root() + "\\Work\\amplifier.SCH");
}

TEST_F(WindowsPathTest, MissingComponentsAreKeptAsGiven) {
  MakeDirectory("Work");
  EXPECT_EQ(Match(Root() + "\\WORK\\New.Tmp"), Root() + "\\Work\\New.Tmp");
  // Below a folder that does not exist nothing is looked up, not even in a folder
  // whose entries would match.
  EXPECT_EQ(Match(Root() + "\\Missing\\work"), Root() + "\\Missing\\work");
}

// A settled folder (here unchanged since an hour) is listed, and the listing used again while
// the folder stays unchanged; once it changed, a short name's letter-case variants are each
// asked for and a long name's looked for in a new listing. Either way a lookup sees what
// another program changed since the last one.
TEST_F(WindowsPathTest, ALookupSeesWhatAnotherProgramChangedSinceTheLastOne) {
  using Spellings = std::vector<std::string>;  // as asked for, then three variants
  struct Case {
    const char* what;
    std::vector<int> before;
    void (*change)(const fs::path& folder, const Spellings& names);
    int expected;
  };
  const std::vector<Case> cases = {
      {"variant added",
       {},
       [](const fs::path& f, const Spellings& n) { test::WriteWholeFile(f / n[1], "x"); },
       1},
      {"second variant added",
       {1},
       [](const fs::path& f, const Spellings& n) { test::WriteWholeFile(f / n[2], "x"); },
       0},
      {"only variant renamed",
       {1},
       [](const fs::path& f, const Spellings& n) { fs::rename(f / n[1], f / n[3]); },
       3},
      {"only variant removed",
       {1},
       [](const fs::path& f, const Spellings& n) { fs::remove(f / n[1]); },
       0},
  };
  const std::vector<Spellings> names = {
      {"NEW.TMP", "new.tmp", "New.Tmp", "nEw.tmp"},
      {"NEWER_DRAWING.TMP", "newer_drawing.tmp", "Newer_Drawing.Tmp", "nEwer_drawing.tmp"}};
  for (const Spellings& spelling : names) {
    for (const Case& c : cases) {
      SCOPED_TRACE(spelling[0] + ", " + c.what);
      const fs::path folder = scratch_.path() / (spelling[0] + " " + c.what);
      fs::create_directories(folder);
      for (int name : c.before) test::WriteWholeFile(folder / spelling[name], "x");
      fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
      const std::string text = folder.string() + "/" + spelling[0];
      for (int lookup = 0; lookup < 2; ++lookup) {
        EXPECT_EQ(Match(text), (folder / spelling[c.before.empty() ? 0 : c.before[0]]).string());
      }
      c.change(folder, spelling);
      EXPECT_EQ(Match(text), (folder / spelling[c.expected]).string());
    }
  }
}

TEST_F(WindowsPathTest, FailsWhenTheResultDoesNotFit) {
  MakeDirectory("Work");
  const std::string text = Root() + "\\Work";
  const std::string expected = Root() + "/Work";
  std::vector<char> out(expected.size() + 1);
  ASSERT_TRUE(MapWindowsPath(text.c_str(), out.data(), out.size()));
  EXPECT_EQ(std::string(out.data()), expected);
  EXPECT_FALSE(MapWindowsPath(text.c_str(), out.data(), expected.size()));
  EXPECT_EQ(out[0], '\0');
  EXPECT_FALSE(MapWindowsPath(text.c_str(), out.data(), 0));
  ASSERT_TRUE(MatchLetterCase(text.c_str(), out.data(), text.size() + 1));
  EXPECT_FALSE(MatchLetterCase(text.c_str(), out.data(), text.size()));
}

TEST_F(WindowsPathTest, FailsWhenTheDriveFolderDoesNotFit) {
  const std::string long_prefix = Root() + "/" + std::string(200, 'p');
  const EnvironmentOverride prefix("WINEPREFIX", long_prefix.c_str());
  char out[128];
  EXPECT_FALSE(MapWindowsPath("C:\\A", out, sizeof out));
}

}  // namespace
}  // namespace kestrune
