// Checks which files of one command line may be converted at once: never two whose runs meet.
#include "cli/file_batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/platform/platform.h"
#include "tests/support/scratch_dir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(FileBatch, OnlyFilesWhoseNamesCannotMeetAreConvertedAtOnce) {
  test::ScratchDir scratch;
  const fs::path root = scratch.path();
  for (const char* name : {"a/ONE.SCH", "a/TWO.SCH", "a/one.sch", "a/NODOT", "a/OTHER",
                           "a/QUORVA.SCH", "a/ONE.P71", "b/ONE.SCH"}) {
    fs::create_directories((root / name).parent_path());
    test::WriteWholeFile(root / name, "x");
  }
  fs::create_hard_link(root / "a/TWO.SCH", root / "b/HARD.SCH");
  fs::create_symlink("TWO.SCH", root / "a/LINK.SCH");
  fs::create_directory_symlink("a", root / "alias");
  struct Case {
    std::vector<std::string> files;
    bool apart;
  };
  const std::vector<Case> cases = {
      {{"a/ONE.SCH", "a/TWO.SCH", "b/ONE.SCH"}, true},
      {{"a/ONE.SCH", "a/MISSING.SCH", "a\\TWO.SCH"}, true},
      {{"a/ONE.SCH", "a/NODOT"}, true},
      {{"a/ONE.SCH", "a/one.sch"}, false},        // one temporary and one backup name
      {{"a/ONE.SCH", "a/ONE.P71"}, false},        // one file's backup is the other file
      {{"a/NODOT", "a/OTHER"}, false},            // both use the fallback temporary name
      {{"a/NODOT", "a/QUORVA.SCH"}, false},       // whose stem a file of the folder has
      {{"a/ONE.SCH", "alias/ONE.SCH"}, false},    // one file through two folders
      {{"a/TWO.SCH", "b/HARD.SCH"}, false},       // one file under two names
      {{"a/ONE.SCH", "a/LINK.SCH"}, false},       // a link is converted where it points
      {{"a/ONE.SCH", "nowhere/ONE.SCH"}, false},  // a folder that is not there
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.files));
    std::vector<std::string> paths;
    for (const std::string& file : c.files) paths.push_back(scratch.PathOf(file));
    EXPECT_EQ(FilesStayApart(paths, SystemPlatform()), c.apart);
  }
}

}  // namespace
}  // namespace kestrune
