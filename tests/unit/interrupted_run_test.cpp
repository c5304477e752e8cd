// Runs stopped from another thread, as the Windows console handler stops them while the main
// thread converts or waits for workers: the files in progress are given up in silence, those
// before them are told, and the program ends with the interrupt's status.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/console_sink.h"
#include "cli/file_batch.h"
#include "cli/interrupt.h"
#include "cli/progress_line.h"
#include "engine/platform/platform_wrapper.h"
#include "tests/support/scratch_dir.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#endif

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
const int kInterruptStatus = static_cast<int>(STATUS_CONTROL_C_EXIT);
constexpr int kInterrupt = 1;
#else
constexpr int kInterruptStatus = 128 + SIGTERM;
constexpr int kInterrupt = SIGTERM;
#endif

// Holds the first write of each file whose name holds one of the names held until the runs
// are asked to stop; counts the writes held.
class HoldingWrites : public PlatformWrapper {
 public:
  HoldingWrites(Platform& base, std::vector<std::string> held)
      : PlatformWrapper(base), held_(std::move(held)) {}
  FileHandle CreateNew(const char* path) override {
    const FileHandle file = target().CreateNew(path);
    const std::string name = fs::path(path).filename().string();
    for (const std::string& held : held_) {
      if (name.find(held) != std::string::npos) {
        const std::lock_guard<std::mutex> hold(mutex_);
        to_hold_.insert(file);
      }
    }
    return file;
  }
  bool Write(FileHandle file, const char* data, std::size_t size) override {
    if (TakeToHold(file)) {
      ++reached;
      while (!Interrupted()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return target().Write(file, data, size);
  }
  std::atomic<int> reached{0};

 private:
  bool TakeToHold(FileHandle file) {
    const std::lock_guard<std::mutex> hold(mutex_);
    return to_hold_.erase(file) > 0;
  }
  const std::vector<std::string> held_;
  std::mutex mutex_;
  std::set<FileHandle> to_hold_;
};

// Writes each file told into a file of its own, which outlasts the ending.
class ToldFiles : public ConsoleSink {
 public:
  explicit ToldFiles(const fs::path& file) : file_(std::fopen(file.string().c_str(), "wb")) {}
  void SetStatus(const char*) override {}
  void ShowError(const char* text) override { std::fprintf(file_, "error %s\n", text); }
  void ShowInfo(const char*) override {}
  void FileDone(const char* path, FileOutcome outcome) override {
    std::fprintf(file_, "%s %d\n", fs::path(path).filename().string().c_str(),
                 static_cast<int>(outcome));
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
};

// How many files are converted at once, whose first writes are held until the stop (which
// comes once all are held), and what is told and converted before it.
struct StopCase {
  int jobs;
  std::vector<std::string> held;
  std::string told;
  bool one_converted;
};

void ConvertWhileStoppedFromAnotherThread(const fs::path& root, const StopCase& stop) {
  HoldingWrites files(SystemPlatform(), stop.held);
  ToldFiles sink(root / "told");
  ProgressLine progress(false);
  RemoveTemporariesOnInterrupt();
  std::thread handler([&] {
    while (files.reached < static_cast<int>(stop.held.size())) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    StopOnInterrupt(kInterrupt);
  });
  BatchOptions options;
  options.ini_path = (root / "none.ini").string();
  options.jobs = stop.jobs;
  std::vector<std::string> names;
  for (const char* name : {"ONE.SCH", "TWO.SCH", "THREE.SCH"}) {
    names.push_back((root / name).string());
  }
  ConvertFiles(names, options, files, sink, progress);
  handler.join();
  if (Interrupted()) EndInterrupted();
}

// Where the files are: on Windows a death test's child runs the test again from its start,
// and finds its parent's folder here.
constexpr char kRootVariable[] = "KESTRUNE_TEST_INTERRUPTED_RUN_ROOT";

// An empty value removes the variable.
void SetVariable(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  if (value.empty()) {
    unsetenv(name);
  } else {
    setenv(name, value.c_str(), 1);
  }
#endif
}

void ExpectStopFromAnotherThread(const StopCase& stop) {
  ScratchDir scratch;
  const char* parents = std::getenv(kRootVariable);
  const fs::path root = parents != nullptr ? fs::path(parents) : scratch.path();
  const std::string schematic = "*version 7.1 1\r\n@setup\r\nx\r\n@index\r\npage\r\n";
  if (parents == nullptr) {
    for (const char* name : {"ONE.SCH", "TWO.SCH", "THREE.SCH"})
      WriteWholeFile(root / name, schematic);
    SetVariable(kRootVariable, root.string());
  }
  EXPECT_EXIT(ConvertWhileStoppedFromAnotherThread(root, stop),
              testing::ExitedWithCode(kInterruptStatus), "");
  SetVariable(kRootVariable, "");
  EXPECT_EQ(ReadWholeFile(root / "told"), stop.told);
  EXPECT_EQ(ReadWholeFile(root / "ONE.SCH"),
            stop.one_converted ? "*version 6.1 1\n@index\npage\n" : schematic);
  EXPECT_EQ(ReadWholeFile(root / "TWO.SCH"), schematic);
  EXPECT_EQ(ReadWholeFile(root / "THREE.SCH"), schematic);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(root)) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"ONE.SCH", "THREE.SCH", "TWO.SCH", "told"}));
}

TEST(InterruptedRunDeathTest, AStopFromAnotherThreadEndsTheRunAfterWhatItFinished) {
  ExpectStopFromAnotherThread({1, {"TWO"}, "ONE.SCH 0\n", true});
}

// Every worker is in the middle of a file when the stop comes: each gives its file up.
TEST(InterruptedRunDeathTest, AStopFromAnotherThreadReachesEveryWorker) {
  ExpectStopFromAnotherThread({4, {"ONE", "TWO", "THREE"}, "", false});
}

}  // namespace
}  // namespace kestrune::test
