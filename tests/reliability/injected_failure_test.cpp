// Every platform call of a nested run failed in turn, then every pair of calls: nothing may be
// lost.
#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "tests/reliability/schematic_tree.h"
#include "tests/reliability/workspace.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/faulty_platform.h"
#include "tests/support/without_links.h"

namespace kestrune::test {
namespace {

std::string Describe(const std::set<int>& failing, const FaultyPlatform& files, bool backups) {
  std::ostringstream text;
  text << "backups " << (backups ? "on" : "off") << ", failing call";
  for (int number : failing) {
    text << ' ' << number;
    if (number <= files.calls()) text << " (" << CallName(files.log()[number - 1]) << ')';
  }
  return text.str();
}

class InjectedFailures : public EngineFixture {
 protected:
  Workspace workspace{scratch.path()};

  // Converts the freshly planted tree with the given calls failing, then checks the outcome.
  // Returns how many failures were really injected (0: the run ended before the first).
  int RunFailing(const SchematicTree& tree, bool backups, const std::set<int>& failing,
                 std::set<Call>* kinds_failed = nullptr, Platform& base = SystemPlatform()) {
    tree.Plant();
    sink.calls.clear();
    FaultyPlatform files(base);
    files.FailCalls(failing);
    RunConversionOn(files, sink, tree.top(), tree.ini(), backups, true);
    SCOPED_TRACE(Describe(failing, files, backups));
    const std::size_t converted = ExpectNothingLost(tree, {backups, sink.calls, files.injected()});
    if (files.failures() == 0) {
      EXPECT_EQ(converted, tree.files().size()) << "a run without failures left files unconverted";
    }
    for (const InjectedFailure& failure : files.injected()) {
      if (kinds_failed != nullptr) kinds_failed->insert(failure.call);
    }
    return files.failures();
  }
};

TEST_F(InjectedFailures, EachSingleCallOfANestedRunFails) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  std::set<Call> kinds_failed;
  int points = 0;
  for (bool backups : {false, true}) {
    for (int call = 1; RunFailing(tree, backups, {call}, &kinds_failed) == 1; ++call) {
      ++points;
      ASSERT_FALSE(HasFailure());
    }
    ASSERT_FALSE(HasFailure());
  }
  std::cout << "[ figures  ] single failure points: " << points << " over " << tree.files().size()
            << " files, backups off and on\n";
  RecordProperty("single_failure_points", points);
  for (Call kind :
       {Call::kOpenForRead, Call::kCreateNew, Call::kRead, Call::kWrite, Call::kSync,
        Call::kSetMode, Call::kSetOwner, Call::kTryLock, Call::kClose, Call::kRemove, Call::kLink,
        Call::kRenameReplacing, Call::kQuery, Call::kQueryOpen, Call::kRealName}) {
    EXPECT_EQ(kinds_failed.count(kind), 1u) << "no " << CallName(kind) << " call was ever failed";
  }
}

// Where a backup cannot be a hard link it is copied under a temporary name: each call of the
// copy fails in turn.
TEST_F(InjectedFailures, EachSingleCallOfANestedRunWithoutLinksFails) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  WithoutLinks without_links(SystemPlatform());
  std::set<Call> kinds_failed;
  int points = 0;
  for (int call = 1; RunFailing(tree, true, {call}, &kinds_failed, without_links) == 1; ++call) {
    ++points;
    ASSERT_FALSE(HasFailure());
  }
  std::cout << "[ figures  ] single failure points without links: " << points << " over "
            << tree.files().size() << " files, backups on\n";
  RecordProperty("single_failure_points_without_links", points);
  EXPECT_EQ(kinds_failed.count(Call::kWrite), 1u);
}

TEST_F(InjectedFailures, EachPairOfCallsOfASmallerRunFails) {
  const SchematicTree tree = SchematicTree::Small(workspace.path());
  int pairs = 0;
  for (bool backups : {false, true}) {
    for (int first = 1; RunFailing(tree, backups, {first}) == 1; ++first) {
      for (int second = first + 1; RunFailing(tree, backups, {first, second}) == 2; ++second) {
        ++pairs;
        ASSERT_FALSE(HasFailure());
      }
      ASSERT_FALSE(HasFailure());
    }
  }
  std::cout << "[ figures  ] failure pairs: " << pairs << " over " << tree.files().size()
            << " files, backups off and on\n";
  RecordProperty("failure_pairs", pairs);
}

// A file system that refuses one kind of call every time, as a read-only or broken one does.
TEST_F(InjectedFailures, EveryCallOfOneKindFails) {
  const SchematicTree tree = SchematicTree::ThreeLevels(workspace.path());
  for (bool backups : {false, true}) {
    for (int kind = 0; kind <= static_cast<int>(Call::kRealName); ++kind) {
      tree.Plant();
      sink.calls.clear();
      FaultyPlatform files(SystemPlatform());
      files.FailEvery(static_cast<Call>(kind));
      RunConversionOn(files, sink, tree.top(), tree.ini(), backups, true);
      SCOPED_TRACE(std::string("every ") + CallName(static_cast<Call>(kind)) +
                   " failing, backups " + (backups ? "on" : "off"));
      ExpectNothingLost(tree, {backups, sink.calls, files.injected()});
    }
  }
}

}  // namespace
}  // namespace kestrune::test
