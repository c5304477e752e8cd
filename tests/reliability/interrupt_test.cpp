// Conversions interrupted by SIGINT, SIGTERM or SIGHUP at every platform call, and the dialog
// program's at the end of the session.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/common/convert_command.h"
#include "app/common/termination_signals.h"
#include "cli/interrupt.h"
#include "tests/reliability/child_process.h"
#include "tests/reliability/schematic_tree.h"
#include "tests/reliability/workspace.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/faulty_platform.h"
#include "tests/support/without_links.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLargeBytes = 4 << 20;
constexpr std::chrono::milliseconds kChildTimeout{30000};
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The names of the temporary files under root, sorted: TMP extensions, with or without a
// digit appended.
std::vector<std::string> TemporaryNames(const fs::path& root) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".TMP") != std::string::npos) found.push_back(name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

const std::vector<std::string> kNoTemporaries;

// The signals start with their default handling, as in a program started from a terminal,
// whatever the test runner's own are; ignored lists those ignored instead.
void StartSignalsAsFromATerminal(const std::vector<int>& ignored) {
  for (const int signal_number : kInterruptSignals) signal(signal_number, SIG_DFL);
  for (const int signal_number : ignored) signal(signal_number, SIG_IGN);
}

// Reports byte, then waits until a handler has run and until done() holds: the signals are
// blocked from before the report, so that none slips in before the wait.
void ReportAndAwaitSignal(int report, char byte, const std::function<bool()>& done) {
  sigset_t blocked;
  sigset_t previous;
  sigemptyset(&blocked);
  for (const int signal_number : kInterruptSignals) sigaddset(&blocked, signal_number);
  sigaddset(&blocked, SIGUSR1);
  sigprocmask(SIG_BLOCK, &blocked, &previous);
  if (write(report, &byte, 1) != 1) _exit(4);
  do {
    sigsuspend(&previous);
  } while (!done());
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

class Interrupted : public EngineFixture {
 protected:
  Workspace workspace{scratch.path()};
  // How the child of the last run ended.
  ChildEnd end;

  // Plants the tree and converts it, as the command line does, in a child that waits before
  // the first call for which stop_at (given its number and kind) is true, until a signal has
  // come; interrupt is then called with the kind of that call. False when the run ended
  // before such a call.
  bool InterruptedRun(const SchematicTree& tree, bool backups,
                      const std::function<bool(int, Call)>& stop_at,
                      const std::function<void(ChildProcess&, Call)>& interrupt,
                      const std::vector<int>& ignored = {}) {
    tree.Plant();
    ChildProcess child([&](int report) {
      StartSignalsAsFromATerminal(ignored);
      FaultyPlatform files(SystemPlatform());
      bool held = false;
      files.BeforeEachCall([&](int number, Call kind) {
        if (held || !stop_at(number, kind)) return;
        held = true;
        ReportAndAwaitSignal(report, static_cast<char>(kind),
                             [] { return kestrune::Interrupted(); });
      });
      RecordingSink unseen;
      const auto engine = std::make_unique<ConversionEngine>(files, unseen);
      WatchOnInterrupt(*engine);
      RemoveTemporariesOnInterrupt();
      engine->RunConversion(tree.top(), tree.ini(), backups ? 1 : 0, 1);
      if (kestrune::Interrupted()) EndInterrupted();
      return std::string();
    });
    char kind = 0;
    const bool stopped = child.AwaitReport(kChildTimeout, &kind);
    if (stopped) interrupt(child, static_cast<Call>(kind));
    end = child.Finish(kChildTimeout);
    EXPECT_FALSE(end.timed_out) << "the run did not end";
    return stopped;
  }

  // A stop in the middle of the large file's writes, with the temporary files of both
  // levels there: the inputs are exactly as they were, and no temporary file is left.
  void ExpectInterruptedMidWrite(const std::vector<int>& ignored, const std::vector<int>& sent,
                                 int expected_signal) {
    const SchematicTree tree = SchematicTree::Large(workspace.path(), kLargeBytes);
    int writes = 0;
    ASSERT_TRUE(InterruptedRun(
        tree, true, [&](int, Call kind) { return kind == Call::kWrite && ++writes == 20; },
        [&](ChildProcess& child, Call) {
          EXPECT_EQ(TemporaryNames(tree.root()), (std::vector<std::string>{"BIG.TMP", "TOP.TMP"}))
              << "no temporary file at two levels";
          for (const int signal_number : sent) child.Kill(signal_number);
        },
        ignored));
    EXPECT_TRUE(end.exited) << "ended by signal " << end.signal;
    EXPECT_EQ(end.code, 128 + expected_signal);
    EXPECT_EQ(TemporaryNames(tree.root()), kNoTemporaries) << "temporary files left";
    for (const TreeFile& file : tree.files()) {
      EXPECT_EQ(ReadWholeFile(tree.root() / file.file), file.original) << file.reference;
    }
  }
};

TEST_F(Interrupted, MidWriteLeavesNoTemporaryFileAndTheInputsWhole) {
  for (const int signal_number : kInterruptSignals) {
    SCOPED_TRACE(std::string("signal ") + strsignal(signal_number));
    ExpectInterruptedMidWrite({}, {signal_number}, signal_number);
  }
}

// As under nohup: the hangup passes the run by, the later SIGTERM ends it.
TEST_F(Interrupted, SignalIgnoredAtTheStartStaysIgnored) {
  ExpectInterruptedMidWrite({SIGHUP}, {SIGHUP, SIGTERM}, SIGTERM);
}

// Once the run has closed its temporary file for the swap, another run may take the name
// for its own file: an interrupt then leaves that file alone, and so does the swap, which
// goes on (stopped at its first removal, that of the old backup name).
TEST_F(Interrupted, AfterTheCloseLeavesTheNameToAnotherRun) {
  const SchematicTree tree = SchematicTree::Large(workspace.path(), kLargeBytes);
  const fs::path temporary = tree.root() / "BIG.TMP";
  const std::string others = "another run's file";
  ASSERT_TRUE(InterruptedRun(
      tree, false, [](int, Call kind) { return kind == Call::kRemove; },
      [&](ChildProcess& child, Call) {
        fs::remove(temporary);
        WriteWholeFile(temporary, others);
        child.Kill(SIGTERM);
      }));
  EXPECT_EQ(end.code, 128 + SIGTERM);
  EXPECT_EQ(fs::exists(temporary) ? ReadWholeFile(temporary) : "(removed)", others);
  for (const TreeFile& file : tree.files()) {
    EXPECT_EQ(ReadWholeFile(tree.root() / file.file), file.original) << file.reference;
  }
}

// At whichever call the signal comes, no name loses its contents and no temporary file is
// left: the run, asked to stop, removes its own, also one it creates or closes in the
// moment after the signal.
TEST_F(Interrupted, AtEachCallOfANestedRun) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  int interrupts = 0;
  int while_copying = 0;
  for (int call = 1;; ++call) {
    const int signal_number = kInterruptSignals[call % 3];
    SCOPED_TRACE("interrupted before call " + std::to_string(call) + " by " +
                 strsignal(signal_number));
    bool copying = false;
    const bool stopped = InterruptedRun(
        tree, call % 2 == 0, [call](int number, Call) { return number == call; },
        [&](ChildProcess& child, Call kind) {
          copying = kind == Call::kRead || kind == Call::kWrite;
          child.Kill(signal_number);
        });
    if (!stopped) break;
    ++interrupts;
    if (copying) ++while_copying;
    EXPECT_TRUE(end.exited) << "ended by signal " << end.signal;
    EXPECT_EQ(end.code, 128 + signal_number);
    ExpectEveryNameWhole(tree);
    EXPECT_EQ(TemporaryNames(tree.root()), kNoTemporaries) << "temporary files left";
    sink.calls.clear();
    engine().RunConversion(tree.top(), tree.ini(), call % 2 == 0 ? 1 : 0, 1);
    EXPECT_EQ(ExpectNothingLost(tree, {call % 2 == 0, sink.calls, {}, false}), tree.files().size());
    if (HasFailure()) break;
  }
  std::cout << "[ figures  ] interrupts at each call of a nested run: " << interrupts << ", "
            << while_copying << " while copying\n";
  EXPECT_GT(while_copying, 10) << "too few interrupts while the files were copied";
}

// Remembers what became of each file too.
class OutcomeSink : public RecordingSink {
 public:
  void FileDone(const char* path, FileOutcome outcome) override {
    if (outcome == FileOutcome::kConverted) converted.emplace_back(path);
  }
  std::vector<std::string> converted;
};

// A stop asked for before any call, as the first signal asks it, ends the run in silence:
// every temporary file removed by the run itself, even one created a moment after the stop,
// every name whole, each file converted until then told and nothing else shown; a normal run
// afterwards converts the rest. Without links, the backup copies are stopped too.
TEST_F(Interrupted, StopAtEachCallOfANestedRunLeavesNothingAndShowsNothing) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  WithoutLinks without_links(SystemPlatform());
  int stops = 0;
  int cut_short = 0;
  for (const bool links : {true, false}) {
    for (int call = 1;; ++call) {
      const bool backups = !links || call % 2 == 0;
      SCOPED_TRACE("stop before call " + std::to_string(call) + (links ? "" : ", without links"));
      tree.Plant();
      FaultyPlatform files(links ? SystemPlatform() : static_cast<Platform&>(without_links));
      OutcomeSink seen;
      const auto stopped = std::make_unique<ConversionEngine>(files, seen);
      files.BeforeEachCall([&](int number, Call) {
        if (number == call) stopped->RequestStop();
      });
      stopped->RunConversion(tree.top(), tree.ini(), backups ? 1 : 0, 1);
      if (files.calls() < call) break;
      ++stops;
      if (stopped->Stopped()) ++cut_short;
      ExpectEveryNameWhole(tree);
      EXPECT_EQ(TemporaryNames(tree.root()), kNoTemporaries) << "temporary files left";
      EXPECT_EQ(seen.errors(), std::vector<std::string>()) << "an error shown for a stop";
      EXPECT_EQ(seen.infos().size(), stopped->Stopped() ? 0u : 1u) << "closing message";
      std::vector<std::string> on_disk;
      for (const TreeFile& file : tree.files()) {
        if (ReadWholeFile(tree.root() / file.file) == file.converted)
          on_disk.push_back(file.reference);
      }
      std::sort(on_disk.begin(), on_disk.end());
      std::sort(seen.converted.begin(), seen.converted.end());
      EXPECT_EQ(seen.converted, on_disk) << "converted files told";
      sink.calls.clear();
      engine().RunConversion(tree.top(), tree.ini(), backups ? 1 : 0, 1);
      EXPECT_EQ(ExpectNothingLost(tree, {backups, sink.calls, {}, false}), tree.files().size());
      if (HasFailure()) return;
    }
  }
  std::cout << "[ figures  ] stops at each call of a nested run: " << stops << ", " << cut_short
            << " cut short\n";
}

// Waits, once the large file's conversion has begun, until a signal has come, or for good
// (as a message box the user does not answer would). Reports every box after that.
class StallingSink : public RecordingSink {
 public:
  StallingSink(int report, bool for_good) : report_(report), for_good_(for_good) {}
  void SetStatus(const char* text) override {
    if (std::string(text).find("Converting BIG.SCH") == std::string::npos) return;
    ReportAndAwaitSignal(report_, 's', [this] { return !for_good_; });
  }
  void ShowError(const char*) override { Report('e'); }
  void ShowInfo(const char*) override { Report('i'); }

 private:
  void Report(char byte) {
    if (write(report_, &byte, 1) != 1) _exit(4);
  }
  int report_;
  bool for_good_;
};

// What the dialog program does at the end of the session: the toolkit's handler runs on top
// of the conversion's stack, as this signal handler does.
void OnSessionEnd(int) { _exit(RemoveConvertTemporaries() ? 0 : 5); }

// The dialog program's Convert command, stopped while both levels' temporary files are
// there, then ended by the session or a signal: it ends as it was told, shows nothing more,
// its inputs are exactly as they were, and no temporary file is left. A signal stops the
// command, which removes its files itself; one that waits in a box has them removed under
// it after a while.
TEST_F(Interrupted, DialogProgramLeavesNoTemporaryFile) {
  const SchematicTree tree = SchematicTree::Large(workspace.path(), kLargeBytes);
  struct Case {
    int signal_number;
    bool waits_for_good;
  };
  for (const Case& c : {Case{SIGUSR1, true}, Case{SIGTERM, false}, Case{SIGHUP, false},
                        Case{SIGINT, false}, Case{SIGTERM, true}}) {
    const bool session_end = c.signal_number == SIGUSR1;
    SCOPED_TRACE(std::string(session_end ? "end of the session" : strsignal(c.signal_number)) +
                 (c.waits_for_good ? ", in a box" : ""));
    tree.Plant();
    ChildProcess child([&](int report) {
      StartSignalsAsFromATerminal({});
      if (session_end) {
        signal(SIGUSR1, OnSessionEnd);
      } else {
        RemoveConvertTemporariesOnTermination();
      }
      StallingSink sink_that_waits(report, c.waits_for_good);
      RunConvertCommand(
          sink_that_waits,
          MakeConvertRequest(tree.top(), tree.ini(), FieldEncoding::kSingleByte, false, true));
      return std::string("done");
    });
    ASSERT_TRUE(child.AwaitReport(kChildTimeout));
    EXPECT_EQ(TemporaryNames(tree.root()), (std::vector<std::string>{"BIG.TMP", "TOP.TMP"}));
    child.Kill(c.signal_number);
    end = child.Finish(kChildTimeout);
    if (session_end) {
      EXPECT_TRUE(end.exited && end.code == 0) << "no conversion in progress, or ended otherwise";
    } else {
      EXPECT_EQ(end.signal, c.signal_number);
    }
    EXPECT_EQ(end.output, "") << "boxes shown after the signal";
    EXPECT_EQ(TemporaryNames(tree.root()), kNoTemporaries) << "temporary files left";
    for (const TreeFile& file : tree.files()) {
      EXPECT_EQ(ReadWholeFile(tree.root() / file.file), file.original) << file.reference;
    }
  }
}

}  // namespace
}  // namespace kestrune::test
