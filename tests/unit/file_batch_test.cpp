// Checks which files of one command line may be converted at once (never two whose runs meet),
// and that a batch finds a file another program makes while it runs.
#include "cli/file_batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/report_sink.h"
#include "engine/platform/platform_wrapper.h"
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
  std::error_code no_links;
  fs::create_symlink("TWO.SCH", root / "a/LINK.SCH", no_links);
  if (!no_links) fs::create_directory_symlink("a", root / "alias", no_links);
#if !defined(_WIN32)
  ASSERT_FALSE(no_links) << no_links.message();
#endif
  struct Case {
    std::vector<std::string> files;
    bool apart;
  };
  std::vector<Case> cases = {
      {{"a/ONE.SCH", "a/TWO.SCH", "b/ONE.SCH"}, true},
      {{"a/ONE.SCH", "a/MISSING.SCH", "a\\TWO.SCH"}, true},
      {{"a/ONE.SCH", "a/NODOT"}, true},
      {{"A/one.sch", "a/two.sch"}, true},         // found in the letter case on disk
      {{"a/ONE.SCH", "a/one.sch"}, false},        // one temporary and one backup name
      {{"a/ONE.SCH", "a/ONE.P71"}, false},        // one file's backup is the other file
      {{"a/NODOT", "a/OTHER"}, false},            // both use the fallback temporary name
      {{"a/NODOT", "a/QUORVA.SCH"}, false},       // whose stem a file of the folder has
      {{"a/TWO.SCH", "b/HARD.SCH"}, false},       // one file under two names
      {{"a/ONE.SCH", "nowhere/ONE.SCH"}, false},  // a folder that is not there
  };
  // Wine 8 makes no symbolic links.
  if (!no_links) {
    cases.push_back({{"a/ONE.SCH", "alias/ONE.SCH"}, false});  // one file through two folders
    cases.push_back({{"a/ONE.SCH", "a/LINK.SCH"}, false});     // converted where it points
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.files));
    std::vector<std::string> paths;
    for (const std::string& file : c.files) paths.push_back(scratch.PathOf(file));
    EXPECT_EQ(FilesStayApart(paths, SystemPlatform()), c.apart);
  }
}

// Stands for another program that creates a file in the moment just before one of the run's
// own changes to the same folder.
class CreatingBeforeARename : public PlatformWrapper {
 public:
  CreatingBeforeARename(std::string rename_to, fs::path create)
      : PlatformWrapper(SystemPlatform()), rename_to_(std::move(rename_to)), create_(create) {}
  bool RenameReplacing(const char* from, const char* to) override {
    if (rename_to_ == to) test::WriteWholeFile(create_, "*version 7.1\r\nlate\r\n");
    return PlatformWrapper::RenameReplacing(from, to);
  }

 private:
  std::string rename_to_;
  fs::path create_;
};

// A command line names s\late.sch among many files of its folder; another program creates it
// as s\LATE.SCH while the batch runs, before the batch reaches it.
TEST(FileBatch, AFileAnotherProgramCreatesWhileTheBatchRunsIsFound) {
  test::ScratchDir scratch;
  const fs::path folder = scratch.path() / "s";
  fs::create_directory(folder);
  test::WriteWholeFile(scratch.path() / "MSIM.INI", "[MICROSIM]\r\n");
  std::vector<std::string> files;
  for (int n = 0; n < 40; ++n) {
    const std::string name = "f" + std::to_string(n) + ".sch";
    test::WriteWholeFile(folder / name, "*version 7.1\r\n");
    files.push_back(scratch.PathOf("s/" + name));
  }
  files.push_back(scratch.PathOf("s/late.sch"));
  CreatingBeforeARename other_program(files[20], folder / "LATE.SCH");
  BatchOptions options;
  options.ini_path = scratch.PathOf("MSIM.INI");
  ProgressLine progress(false);
  ReportOptions quiet;
  quiet.quiet = true;
  ReportSink sink(quiet, progress);
  ConvertFiles(files, options, other_program, sink, progress);
  EXPECT_FALSE(sink.error_shown());
  EXPECT_EQ(test::ReadWholeFile(folder / "LATE.SCH"), "*version 6.1\nlate\n");
}

}  // namespace
}  // namespace kestrune
