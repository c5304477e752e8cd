// Batches of files converted two at a time, interrupted by SIGINT, SIGTERM or SIGHUP at every
// call of either worker: every file whole, no temporary file left, and each file finished by
// then told, in the files' order.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/console_sink.h"
#include "cli/file_batch.h"
#include "cli/interrupt.h"
#include "cli/progress_line.h"
#include "tests/reliability/child_process.h"
#include "tests/reliability/worker_calls.h"
#include "tests/reliability/workspace.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/text_model.h"

#if defined(__SANITIZE_THREAD__)
// The worker this suite leaves behind on purpose, held in a call that never ends, is no leak.
extern "C" const char* __tsan_default_options();
extern "C" const char* __tsan_default_options() { return "report_thread_leaks=0"; }
#endif

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr milliseconds kChildTimeout{30000};
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr char kIniPath[] = ".\\none.ini";

// A 7.1 schematic of about the given number of lines, which its reader takes in several
// buffers.
std::string Schematic(int lines) {
  std::string text = "*version 7.1 31125426\r\n@setup\r\nAutoGenStim4ExtIFPorts 1\r\n@index\r\n";
  for (int line = 0; line < lines; ++line) text += "w 22 " + std::to_string(line) + " 380 230\r\n";
  return text;
}

struct BatchFile {
  std::string reference;  // as named on the command line
  std::string original;
  std::string converted;  // equal to original where the file is not converted
};

// The files of one folder, named in this order.
class Batch {
 public:
  Batch(fs::path folder, const std::vector<std::pair<std::string, std::string>>& files)
      : folder_(std::move(folder)) {
    for (const auto& [name, bytes] : files) {
      files_.push_back({"batch\\" + name, bytes, model::ConvertSchematic(bytes).output});
      names_.push_back(name);
    }
  }
  void Plant() const {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (std::size_t i = 0; i < files_.size(); ++i) {
      WriteWholeFile(folder_ / names_[i], files_[i].original);
    }
  }
  fs::path PathOf(std::size_t file) const { return folder_ / names_[file]; }
  fs::path BackupOf(std::size_t file) const {
    return fs::path(PathOf(file)).replace_extension("P71");
  }
  bool Converted(std::size_t file) const {
    return files_[file].converted != files_[file].original &&
           ReadWholeFile(PathOf(file)) == files_[file].converted;
  }
  std::vector<std::string> references() const {
    std::vector<std::string> references;
    for (const BatchFile& file : files_) references.push_back(file.reference);
    return references;
  }
  const std::vector<BatchFile>& files() const { return files_; }
  const fs::path& folder() const { return folder_; }

 private:
  fs::path folder_;
  std::vector<BatchFile> files_;
  std::vector<std::string> names_;
};

// What the program tells, a line each, written at once so that no ending of the process
// loses any: "DONE", the path and the outcome; "ERROR" and the message's first line.
class ToldToFile : public ConsoleSink {
 public:
  explicit ToldToFile(const fs::path& file)
      : fd_(open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644)) {}
  ~ToldToFile() override { close(fd_); }
  void SetStatus(const char*) override {}
  void ShowError(const char* text) override {
    error_shown_ = true;
    const std::string message = text;
    Put("ERROR\t" + message.substr(0, message.find('\n')) + "\t" +
        message.substr(message.find('\n') + 1));
  }
  void ShowInfo(const char*) override {}
  void FileDone(const char* path, FileOutcome outcome) override {
    Put(std::string("DONE\t") + path + "\t" + std::to_string(static_cast<int>(outcome)));
  }

 private:
  void Put(const std::string& line) {
    const std::string whole = line + "\n";
    if (write(fd_, whole.data(), whole.size()) != static_cast<ssize_t>(whole.size())) _exit(5);
  }
  int fd_;
};

struct Told {
  std::string kind;
  std::string path;
  std::string detail;  // the outcome, or the message
};

std::vector<Told> ReadTold(const fs::path& file) {
  std::vector<Told> told;
  std::istringstream lines(fs::exists(file) ? ReadWholeFile(file) : "");
  for (std::string line; std::getline(lines, line);) {
    Told entry;
    std::istringstream fields(line);
    std::getline(fields, entry.kind, '\t');
    if (entry.kind == "ERROR") {
      std::getline(fields, entry.detail, '\t');
      std::getline(fields, entry.path, '\t');
    } else {
      std::getline(fields, entry.path, '\t');
      std::getline(fields, entry.detail, '\t');
    }
    told.push_back(entry);
  }
  return told;
}

// Files at 7.1 of three reads each, one at 6.1 and one that is no schematic, among them.
Batch MixedBatch(const fs::path& folder) {
  const std::string file = Schematic(1800);
  return Batch(folder, {{"F1.SCH", file},
                        {"F2.SCH", file},
                        {"OLD.SCH", "*version 6.1 31125426\r\n@index\r\n"},
                        {"F3.SCH", file},
                        {"BAD.SCH", "not a schematic\r\n"},
                        {"F4.SCH", file},
                        {"F5.SCH", file}});
}

// Starts workers that each begin once both have started, so that each has a file (alone,
// the first would take them all before the second has started).
ThreadStarter BothWorkersBeginTogether() {
  auto started = std::make_shared<std::atomic<int>>(0);
  return [started](std::function<void()> work) {
    return StartWorkerThread([started, work = std::move(work)] {
      ++*started;
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (started->load() < 2 && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(milliseconds(1));
      }
      work();
    });
  };
}

class InterruptedBatch : public ::testing::Test {
 protected:
  // The workspace is the current directory while the test lasts.
  ~InterruptedBatch() override { fs::current_path(previous_directory); }
  const fs::path previous_directory = fs::current_path();
  ScratchDir scratch;
  Workspace workspace{scratch.path()};
  const fs::path told_file = scratch.path() / "told";
  ChildEnd end;
  std::vector<Told> told;
  // With nested conversion on, the runs take turns and overlap only at their ends.
  bool embedded = false;

  // Converts the batch two files at a time, as the command line does, in a child whose
  // workers call the platform through hook (made in the child, given the descriptor to
  // report to). Once the child reports a byte, interrupt is called with it. False when the child
  // ended without reporting.
  bool RunBatch(const Batch& batch, bool backups,
                const std::function<WorkerCalls::Hook(int report)>& make_hook,
                const std::function<void(ChildProcess&, char)>& interrupt) {
    batch.Plant();
    fs::remove(told_file);
    ChildProcess child([&](int report) {
      for (const int signal_number : kInterruptSignals) signal(signal_number, SIG_DFL);
      WorkerCalls files(SystemPlatform(), make_hook(report));
      ToldToFile sink(told_file);
      ProgressLine progress(false);
      RemoveTemporariesOnInterrupt();
      BatchOptions options;
      options.ini_path = kIniPath;
      options.backups = backups;
      options.embedded = embedded;
      options.jobs = 2;
      // Runs that take turns cannot wait for each other's first call.
      if (embedded) options.start_thread = BothWorkersBeginTogether();
      ConvertFiles(batch.references(), options, files, sink, progress);
      if (kestrune::Interrupted()) EndInterrupted();
      return std::string();
    });
    char byte = 0;
    const bool reported = child.AwaitReport(kChildTimeout, &byte);
    if (reported) interrupt(child, byte);
    end = child.Finish(kChildTimeout);
    EXPECT_FALSE(end.timed_out) << "the batch did not end";
    told = ReadTold(told_file);
    return reported;
  }

  // Removes the batch folder's one temporary file if it is empty; more than one, or one
  // with contents, fails.
  void ForgiveOneEmptyTemporary(const Batch& batch) {
    std::vector<fs::path> temporaries;
    for (const auto& entry : fs::directory_iterator(batch.folder())) {
      if (entry.path().extension() == ".TMP") temporaries.push_back(entry.path());
    }
    ASSERT_LE(temporaries.size(), 1u) << "more than one temporary file left";
    if (temporaries.empty()) return;
    EXPECT_EQ(fs::file_size(temporaries[0]), 0u) << temporaries[0] << " was written";
    fs::remove(temporaries[0]);
  }

  // Every file holds its old or its new contents, a backup beside each converted one (with
  // backups on) holds the old ones, and nothing else is left in the folder.
  void ExpectEveryFileWhole(const Batch& batch, bool backups) {
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < batch.files().size(); ++i) {
      const BatchFile& file = batch.files()[i];
      const std::string now = ReadWholeFile(batch.PathOf(i));
      EXPECT_TRUE(now == file.original || now == file.converted) << file.reference << " is torn";
      expected.push_back(batch.PathOf(i).filename().string());
      if (backups && batch.Converted(i)) {
        EXPECT_EQ(ReadWholeFile(batch.BackupOf(i)), file.original) << file.reference;
        expected.push_back(batch.BackupOf(i).filename().string());
      }
    }
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(batch.folder())) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected) << "left behind, or missing";
  }

  // What was told is in the files' order; every converted file was told converted, and
  // every_finished: every file told is one that was finished. Errors only for the file that
  // is no schematic.
  void ExpectToldInOrder(const Batch& batch, bool every_converted_told = true) {
    const std::vector<std::string> references = batch.references();
    std::size_t next = 0;
    std::vector<bool> told_converted(references.size(), false);
    for (const Told& entry : told) {
      // With nested conversion on, each run says that the INI file is missing.
      if (embedded && entry.kind == "ERROR" && entry.path == kIniPath) continue;
      const auto at = std::find(references.begin(), references.end(), entry.path);
      ASSERT_NE(at, references.end()) << entry.kind << " about " << entry.path;
      const std::size_t file = static_cast<std::size_t>(at - references.begin());
      if (entry.kind == "ERROR") {
        EXPECT_EQ(entry.path, "batch\\BAD.SCH") << "an error for a stopped file: " << entry.detail;
        continue;
      }
      EXPECT_GE(file, next) << entry.path << " told out of order";
      next = file + 1;
      told_converted[file] =
          entry.detail == std::to_string(static_cast<int>(FileOutcome::kConverted));
    }
    for (std::size_t file = 0; file < references.size(); ++file) {
      if (told_converted[file]) {
        EXPECT_TRUE(batch.Converted(file)) << references[file];
      }
      if (every_converted_told && batch.Converted(file)) {
        EXPECT_TRUE(told_converted[file]) << references[file] << " converted but not told";
      }
    }
  }

  // Interrupts the mixed batch held before each call of either worker in turn.
  void InterruptEachCall();
};

// Holds the chosen call among those of both workers until the signal has come, reporting
// which worker made it, then lets it go on: the workers then stop by themselves. Which calls
// a worker makes depends on the other's pace, but their calls together are the same in
// every run. Unless the runs take turns, each worker's first call waits for the other's, so
// that both have a file (alone, the first would take them all before the second has started).
WorkerCalls::Hook HoldUntilInterrupted(int report, int call, bool taking_turns) {
  auto started = std::make_shared<std::atomic<int>>(0);
  auto calls = std::make_shared<std::atomic<int>>(0);
  return [=](int worker, int number, Call, const char*) {
    if (number == 1 && !taking_turns) {
      ++*started;
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (started->load() < 2 && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(milliseconds(1));
      }
    }
    if (++*calls != call) return;
    const char byte = static_cast<char>(worker);
    if (write(report, &byte, 1) != 1) _exit(4);
    while (!kestrune::Interrupted()) std::this_thread::sleep_for(milliseconds(1));
  };
}

TEST_F(InterruptedBatch, AtEachCallOfTwoWorkers) {
  for (const bool taking_turns : {false, true}) {
    embedded = taking_turns;
    SCOPED_TRACE(taking_turns ? "runs taking turns" : "runs at once");
    InterruptEachCall();
    if (HasFailure()) return;
  }
}

void InterruptedBatch::InterruptEachCall() {
  const Batch batch = MixedBatch(workspace.path() / "batch");
  int held_by[2] = {0, 0};
  for (int call = 1;; ++call) {
    const int signal_number = kInterruptSignals[call % 3];
    const bool backups = call % 2 == 0;
    SCOPED_TRACE("held before call " + std::to_string(call) + ", " + strsignal(signal_number));
    char worker = 0;
    const bool held = RunBatch(
        batch, backups, [&](int report) { return HoldUntilInterrupted(report, call, embedded); },
        [&](ChildProcess& child, char byte) {
          worker = byte;
          child.Kill(signal_number);
        });
    if (!held) {
      EXPECT_EQ(end.code, 0) << "a batch not interrupted";
      break;
    }
    ++held_by[worker == 0 ? 0 : 1];
    EXPECT_TRUE(end.exited) << "ended by signal " << end.signal;
    EXPECT_EQ(end.code, 128 + signal_number);
    ExpectEveryFileWhole(batch, backups);
    ExpectToldInOrder(batch);
    if (HasFailure()) return;
  }
  std::cout << "[ figures  ] interrupts at each call of a two-worker batch"
            << (embedded ? " taking turns: " : ": ") << held_by[0] + held_by[1] << " ("
            << held_by[0] << " and " << held_by[1] << " by each worker)\n";
  EXPECT_GT(std::min(held_by[0], held_by[1]), 20) << "too few calls of a worker held";
}

// A large first file is still being written when the signal comes; the small ones after
// it, converted by the other worker meanwhile, are each told, in order, and the large one
// stays as it was.
TEST_F(InterruptedBatch, EveryFileFinishedBeforeTheSignalIsTold) {
  std::vector<std::pair<std::string, std::string>> files = {{"A.SCH", Schematic(120000)}};
  for (int i = 10; i < 30; ++i) files.emplace_back("S" + std::to_string(i) + ".SCH", Schematic(20));
  const Batch batch(workspace.path() / "batch", files);
  const auto all_small_converted = [&] {
    for (std::size_t file = 1; file < batch.files().size(); ++file) {
      if (!batch.Converted(file)) return false;
    }
    return true;
  };
  ASSERT_TRUE(RunBatch(
      batch, true,
      [&](int report) -> WorkerCalls::Hook {
        auto large_one = std::make_shared<std::atomic<int>>(-1);
        return [=](int worker, int, Call kind, const char* path) {
          if (kind == Call::kOpenForRead && std::strstr(path, "A.SCH") != nullptr) {
            large_one->store(worker);
          }
          if (kind != Call::kWrite || worker != large_one->load()) return;
          while (!all_small_converted()) std::this_thread::sleep_for(milliseconds(1));
          large_one->store(-1);
          if (write(report, "w", 1) != 1) _exit(4);
          while (!kestrune::Interrupted()) std::this_thread::sleep_for(milliseconds(1));
        };
      },
      [](ChildProcess& child, char) { child.Kill(SIGTERM); }));
  EXPECT_EQ(end.code, 128 + SIGTERM);
  std::vector<std::string> told_converted;
  for (const Told& entry : told) {
    if (entry.kind == "DONE") told_converted.push_back(entry.path);
  }
  std::vector<std::string> small = batch.references();
  small.erase(small.begin());
  EXPECT_EQ(told_converted, small);
  EXPECT_EQ(ReadWholeFile(batch.PathOf(0)), batch.files()[0].original);
  ExpectEveryFileWhole(batch, true);
}

// A worker held in a call that does not end (a flush of a slow disk) is left after a while,
// or at once on a second signal: its temporary file is removed under it, every file is
// whole and what was told is in order. (Signals of one kind do not queue: the second is
// another.)
TEST_F(InterruptedBatch, AWorkerThatDoesNotStopIsLeftBehind) {
  const Batch batch = MixedBatch(workspace.path() / "batch");
  for (const std::vector<int>& sent : {std::vector<int>{SIGHUP}, {SIGHUP, SIGTERM}}) {
    SCOPED_TRACE(testing::PrintToString(sent));
    std::chrono::steady_clock::time_point sent_at;
    ASSERT_TRUE(RunBatch(
        batch, true,
        [](int report) -> WorkerCalls::Hook {
          return [=](int worker, int, Call kind, const char*) {
            if (worker != 0 || kind != Call::kWrite) return;
            if (write(report, "w", 1) != 1) _exit(4);
            for (;;) pause();
          };
        },
        [&](ChildProcess& child, char) {
          sent_at = std::chrono::steady_clock::now();
          for (const int signal_number : sent) child.Kill(signal_number);
        }));
    const auto took = std::chrono::steady_clock::now() - sent_at;
    EXPECT_TRUE(end.exited) << "ended by signal " << end.signal;
    EXPECT_TRUE(end.code == 128 + SIGHUP || end.code == 128 + SIGTERM) << end.code;
    // A second signal at once ends the program without waiting, so another worker may have
    // just created its temporary file: one empty one may stay, as after SIGKILL.
    if (sent.size() > 1) ForgiveOneEmptyTemporary(batch);
    ExpectEveryFileWhole(batch, true);
    // The second signal ends the program before it reports.
    ExpectToldInOrder(batch, sent.size() == 1);
    if (sent.size() == 1) {
      EXPECT_GE(took, std::chrono::seconds(kStopSeconds)) << "the worker was not waited for";
    } else {
      EXPECT_LT(took, std::chrono::seconds(kStopSeconds)) << "a second signal was waited on";
    }
  }
}

}  // namespace
}  // namespace kestrune::test
