// A conversion killed with SIGKILL at every platform call and at random moments of large writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <thread>

#include "tests/reliability/child_process.h"
#include "tests/reliability/schematic_tree.h"
#include "tests/reliability/workspace.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/faulty_platform.h"
#include "tests/support/without_links.h"

namespace kestrune::test {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kLargeBytes = 4 << 20;
constexpr int kRandomTrials = 200;
constexpr milliseconds kChildTimeout{30000};

// Converts the tree on base with every platform call first passed to hook.
std::string ConvertWatched(Platform& base, const SchematicTree& tree, bool backups,
                           std::function<void(int, Call)> hook) {
  FaultyPlatform files(base);
  files.BeforeEachCall(std::move(hook));
  RecordingSink unseen;
  RunConversionOn(files, unseen, tree.top(), tree.ini(), backups, true);
  return "done";
}

class Killed : public EngineFixture {
 protected:
  Workspace workspace{scratch.path()};

  // Plants the tree and converts it in a child that kills itself just before the given
  // platform call; false when the run ended before it reached that call.
  // The child reports the kind of the call it stops at, which is counted in kills_by_kind.
  bool KilledAtCall(Platform& base, const SchematicTree& tree, bool backups, int call) {
    tree.Plant();
    ChildProcess child([&](int report) {
      return ConvertWatched(base, tree, backups, [call, report](int number, Call kind) {
        if (number != call) return;
        const char byte = static_cast<char>(kind);
        if (write(report, &byte, 1) == 1) raise(SIGKILL);
      });
    });
    const ChildEnd end = child.Finish(kChildTimeout);
    EXPECT_FALSE(end.timed_out) << "the run did not end";
    if (end.signal == SIGKILL && end.output.size() == 1) {
      ++kills_by_kind[static_cast<Call>(end.output[0])];
      return true;
    }
    EXPECT_EQ(end.output, "done") << "the child ended another way";
    return false;
  }

  // The kinds of call the kills stopped at, for the figures.
  std::string KillsByKind() const {
    std::string text;
    for (const auto& [kind, count] : kills_by_kind) {
      text += std::string(text.empty() ? "" : ", ") + CallName(kind) + " " + std::to_string(count);
    }
    return text;
  }

  std::map<Call, int> kills_by_kind;

  // A normal run on the same file system after a killed one converts every file and leaves
  // nothing behind.
  void ExpectNextRunConvertsAll(Platform& base, const SchematicTree& tree, bool backups) {
    sink.calls.clear();
    RunConversionOn(base, sink, tree.top(), tree.ini(), backups, true);
    EXPECT_EQ(ExpectNothingLost(tree, {backups, sink.calls, {}, false}), tree.files().size())
        << "the run after the kill did not convert every file";
  }

  // Kills a run at each of its calls in turn; returns how many kills there were.
  int KillAtEachCall(const SchematicTree& tree, bool backups, Platform& base = SystemPlatform()) {
    int kills = 0;
    for (int call = 1; KilledAtCall(base, tree, backups, call); ++call) {
      SCOPED_TRACE("killed before call " + std::to_string(call) +
                   (backups ? ", backups on" : ", backups off"));
      ++kills;
      ExpectEveryNameWhole(tree);
      ExpectNextRunConvertsAll(base, tree, backups);
      if (HasFailure()) break;
    }
    return kills;
  }
};

TEST_F(Killed, AtEachCallOfANestedRun) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  const int kills = KillAtEachCall(tree, false) + KillAtEachCall(tree, true);
  std::cout << "[ figures  ] kills at each call of a nested run: " << kills << " (" << KillsByKind()
            << ")\n";
  RecordProperty("kills_nested", kills);
  EXPECT_GT(kills_by_kind[Call::kRenameReplacing], 2 * static_cast<int>(tree.files().size()) - 1)
      << "the kills did not reach every file's swap";
}

// Where a backup cannot be a hard link it is copied: a kill at any moment of the copy leaves
// no partial file under the backup name, and the next run removes the copy's leftover.
TEST_F(Killed, AtEachCallOfANestedRunWithoutLinks) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  WithoutLinks files(SystemPlatform());
  const int kills = KillAtEachCall(tree, true, files);
  std::cout << "[ figures  ] kills at each call of a nested run without links: " << kills << " ("
            << KillsByKind() << ")\n";
  RecordProperty("kills_nested_without_links", kills);
  EXPECT_GE(kills_by_kind[Call::kWrite], 2 * static_cast<int>(tree.files().size()))
      << "the kills did not reach every backup copy";
}

TEST_F(Killed, AtEachCallOfALargeFile) {
  const SchematicTree tree = SchematicTree::Large(workspace.path(), kLargeBytes);
  const int kills = KillAtEachCall(tree, true);
  std::cout << "[ figures  ] kills at each call of a " << (kLargeBytes >> 20)
            << " MB file: " << kills << " (" << KillsByKind() << ")\n";
  RecordProperty("kills_large", kills);
  EXPECT_GE(kills_by_kind[Call::kWrite], 50) << "too few kills while the large file was written";
}

// The child reports its first write and its first sync: the large file's writes lie between.
std::string ConvertReportingWrites(const SchematicTree& tree, bool backups, int report) {
  bool writing = false;
  bool synced = false;
  return ConvertWatched(SystemPlatform(), tree, backups, [&](int, Call call) {
    if ((call == Call::kWrite && !writing) || (call == Call::kSync && writing && !synced)) {
      (call == Call::kWrite ? writing : synced) = true;
      const char byte = call == Call::kWrite ? 'w' : 's';
      if (write(report, &byte, 1) != 1) _exit(4);
    }
  });
}

TEST_F(Killed, AtRandomMomentsOfLargeWrites) {
  const SchematicTree tree = SchematicTree::Large(workspace.path(), kLargeBytes);
  const TreeFile& big = tree.files().back();
  tree.Plant();
  Clock::duration writing{};
  {
    ChildProcess child([&](int report) { return ConvertReportingWrites(tree, true, report); });
    ASSERT_TRUE(child.AwaitReport(kChildTimeout));
    const auto started = Clock::now();
    ASSERT_TRUE(child.AwaitReport(kChildTimeout));
    writing = Clock::now() - started;
    ASSERT_EQ(child.Finish(kChildTimeout).output, "done");
  }
  std::mt19937 random(20240611);
  std::uniform_int_distribution<long> delay(
      0, std::chrono::duration_cast<std::chrono::microseconds>(writing).count());
  const std::filesystem::path temporary = workspace.path() / "BIG.TMP";
  int mid_write = 0;
  for (int trial = 0; trial < kRandomTrials; ++trial) {
    const bool backups = trial % 2 == 1;
    const long wait = delay(random);
    SCOPED_TRACE("trial " + std::to_string(trial) + ", killed " + std::to_string(wait) +
                 " us into the writes");
    tree.Plant();
    {
      ChildProcess child([&](int report) { return ConvertReportingWrites(tree, backups, report); });
      ASSERT_TRUE(child.AwaitReport(kChildTimeout));
      std::this_thread::sleep_for(std::chrono::microseconds(wait));
      child.Kill();
      child.Finish(kChildTimeout);
    }
    if (std::filesystem::exists(temporary) &&
        std::filesystem::file_size(temporary) < big.converted.size()) {
      ++mid_write;
    }
    ExpectEveryNameWhole(tree);
    ExpectNextRunConvertsAll(SystemPlatform(), tree, backups);
    if (HasFailure()) break;
  }
  std::cout << "[ figures  ] random kills during " << (kLargeBytes >> 20)
            << " MB writes: " << kRandomTrials << " trials, " << mid_write
            << " left a partly written temporary file (write phase "
            << std::chrono::duration_cast<milliseconds>(writing).count() << " ms)\n";
  RecordProperty("random_kills", kRandomTrials);
  RecordProperty("random_kills_mid_write", mid_write);
  EXPECT_GE(mid_write, kRandomTrials / 4)
      << "too few kills landed while the file was being written";
}

}  // namespace
}  // namespace kestrune::test
