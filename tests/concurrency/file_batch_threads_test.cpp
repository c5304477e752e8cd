// A batch converted at once whose threads the system refuses at any worker still converts and
// tells every file exactly as one file after another does.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "cli/console_sink.h"
#include "cli/file_batch.h"
#include "cli/progress_line.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

// Every call the batch makes on its sink, FileDone included, as text.
class TellingSink : public ConsoleSink {
 public:
  void SetStatus(const char* text) override { calls.push_back(std::string("status ") + text); }
  void ShowError(const char* text) override { calls.push_back(std::string("error ") + text); }
  void ShowInfo(const char* text) override { calls.push_back(std::string("info ") + text); }
  void FileDone(const char* path, FileOutcome outcome) override {
    calls.push_back("done " + std::string(path) + " " + std::to_string(static_cast<int>(outcome)));
  }
  std::vector<std::string> calls;
};

std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = ReadWholeFile(entry.path());
  }
  return files;
}

TEST(BatchThreads, ARefusedThreadAtAnyWorkerChangesNoFileAndNoReport) {
  ScratchDir scratch;
  const fs::path folder = scratch.path() / "batch";
  std::vector<std::string> files;
  const auto plant = [&] {
    fs::remove_all(folder);
    fs::create_directories(folder);
    files.clear();
    for (int i = 0; i < 12; ++i) {
      const std::string name = "F" + std::to_string(i) + ".SCH";
      std::string text = "*version 7.1 31125426\n@setup\nx " + std::to_string(i) + "\n@index\n";
      if (i == 4) text = "*version 6.1 1\n";
      if (i == 7) text = "not a schematic\n";
      WriteWholeFile(folder / name, text);
      files.push_back((folder / name).string());
    }
  };
  constexpr int kJobs = 4;
  const auto convert = [&](int jobs, int refused_worker) {
    plant();
    BatchOptions options;
    options.ini_path = (scratch.path() / "none.ini").string();
    options.backups = true;
    options.jobs = jobs;
    int asked = 0;
    options.start_thread = [&](std::function<void()> work) {
      if (asked++ == refused_worker) {
        throw std::system_error(EAGAIN, std::generic_category(), "no thread");
      }
      return StartWorkerThread(std::move(work));
    };
    TellingSink sink;
    ProgressLine progress(false);
    ConvertFiles(files, options, SystemPlatform(), sink, progress);
    return std::make_pair(sink.calls, Snapshot(folder));
  };
  const auto one_after_another = convert(1, -1);
  ASSERT_EQ(one_after_another.second.count("F0.P71"), 1u) << "the files were not converted";
  for (int refused = 0; refused <= kJobs; ++refused) {
    SCOPED_TRACE(refused < kJobs ? "thread of worker " + std::to_string(refused) + " refused"
                                 : "no thread refused");
    const auto at_once = convert(kJobs, refused);
    EXPECT_EQ(at_once.first, one_after_another.first);
    EXPECT_EQ(at_once.second, one_after_another.second);
  }
}

}  // namespace
}  // namespace kestrune::test
