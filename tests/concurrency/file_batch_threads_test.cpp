// A batch converted at once, its threads refused at any worker or its runs with nested
// conversion overlapping, still converts and tells every file exactly as one after another.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "cli/console_sink.h"
#include "cli/file_batch.h"
#include "cli/progress_line.h"
#include "engine/platform/platform_wrapper.h"
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

bool EndsWith(const char* path, const std::string& name) {
  const std::size_t length = std::strlen(path);
  return length >= name.size() && std::strcmp(path + length - name.size(), name.c_str()) == 0;
}

// Holds the rename that swaps in the batch's first file until the file a later run reaches
// is opened, the fault, or, once the next file's run has begun, a while has passed without.
class StalledFirstSwap : public PlatformWrapper {
 public:
  StalledFirstSwap(const std::string& first, const std::string& next, const std::string& reached)
      : PlatformWrapper(SystemPlatform()), first_(first), next_(next), reached_(reached) {}

  bool RenameReplacing(const char* from, const char* to) override {
    if (!EndsWith(to, first_)) return PlatformWrapper::RenameReplacing(from, to);
    Stall();
    const bool renamed = PlatformWrapper::RenameReplacing(from, to);
    const std::lock_guard<std::mutex> hold(mutex_);
    swapped_ = true;
    return renamed;
  }
  FileHandle OpenForRead(const char* path) override {
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      if (!swapped_ && EndsWith(path, next_)) next_began_before_swap = true;
      if (stalling_ && EndsWith(path, reached_)) reached_while_stalled = true;
      changed_.notify_all();
    }
    return PlatformWrapper::OpenForRead(path);
  }

  bool next_began_before_swap = false;
  bool reached_while_stalled = false;

 private:
  void Stall() {
    std::unique_lock<std::mutex> hold(mutex_);
    stalling_ = true;
    changed_.wait_for(hold, std::chrono::seconds(10), [this] { return next_began_before_swap; });
    changed_.wait_for(hold, std::chrono::seconds(1), [this] { return reached_while_stalled; });
    stalling_ = false;
  }

  const std::string first_;
  const std::string next_;
  const std::string reached_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stalling_ = false;
  bool swapped_ = false;
};

// With nested conversion a later run begins while an earlier one flushes and swaps its file
// in; where it reaches that file, or a name made from the same stem (files without an
// extension share their temporary name; a leading dot is no extension's, so both files of
// the last row back up to .HIDDEN.P71), it waits for the earlier run's end.
TEST(BatchThreads, WithNestedConversionALaterRunWaitsForTheEndOfAnEarlierOneItWouldMeet) {
  struct Case {
    std::string first;    // the first file of the batch, a block
    std::string reached;  // what the later files' part leads to
  };
  const std::vector<Case> cases = {
      {"B.SCH", "B.SCH"}, {"BLOCK", "OTHER"}, {".HIDDEN", ".HIDDEN.SCH"}};
  ScratchDir scratch;
  const fs::path folder = scratch.path() / "project";
  for (const Case& row : cases) {
    SCOPED_TRACE(row.first + " then files leading to " + row.reached);
    const std::string block = "*version 7.1 1\n@setup\nx\n@index\nblock\n";
    std::vector<std::string> files;
    const auto plant = [&] {
      fs::remove_all(folder);
      fs::create_directories(folder);
      WriteWholeFile(folder / row.first, block);
      WriteWholeFile(folder / row.reached, block);
      files = {NativePath(folder / row.first)};
      for (int i = 1; i <= 3; ++i) {
        const std::string name = "F" + std::to_string(i) + ".SCH";
        WriteWholeFile(folder / name, "*version 7.1 2\n@index\nPART=BLK\nf\n");
        files.push_back(NativePath(folder / name));
      }
      WriteWholeFile(folder / "KEST.slb",
                     "PART=BLK\nDEFAULT=" + NativePath(folder / row.reached) + "\n");
      WriteWholeFile(folder / "MSIM.INI", "[MICROSIM]\r\nLIBPATH=" + NativePath(folder) +
                                              "\r\n[PART LIBS]\r\nLIB1=KEST\r\n");
    };
    const auto convert = [&](int jobs, Platform& platform) {
      plant();
      BatchOptions options;
      options.ini_path = NativePath(folder / "MSIM.INI");
      options.backups = true;
      options.embedded = true;
      options.jobs = jobs;
      TellingSink sink;
      ProgressLine progress(false);
      ConvertFiles(files, options, platform, sink, progress);
      return std::make_pair(sink.calls, Snapshot(folder));
    };
    const auto one_after_another = convert(1, SystemPlatform());
    ASSERT_EQ(one_after_another.second.count("F3.P71"), 1u) << "the files were not converted";
    StalledFirstSwap stalled(row.first, "F1.SCH", row.reached);
    const auto at_once = convert(2, stalled);
    EXPECT_TRUE(stalled.next_began_before_swap) << "the runs did not overlap";
    EXPECT_FALSE(stalled.reached_while_stalled);
    EXPECT_EQ(at_once.first, one_after_another.first);
    EXPECT_EQ(at_once.second, one_after_another.second);
  }
}

}  // namespace
}  // namespace kestrune::test
