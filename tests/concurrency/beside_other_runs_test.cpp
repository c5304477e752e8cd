// Runs that meet one file or one temporary name at once, each with an engine of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/conversion_engine.h"
#include "engine/platform/platform_wrapper.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// Holds its run at its first write, with its input and temporary file open, until released:
// another run then acts while this one is certainly in the middle of its conversion.
class StalledPlatform : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;

  bool Write(FileHandle file, const char* data, std::size_t size) override {
    if (!stalled_) {
      stalled_ = true;
      reached_.set_value();
      released_in_time_ =
          released_.get_future().wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    }
    return PlatformWrapper::Write(file, data, size);
  }
  // False when the run never wrote within the time.
  bool AwaitStall() {
    return reached_.get_future().wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  }
  void Release() { released_.set_value(); }
  bool released_in_time() const { return released_in_time_; }

 private:
  std::promise<void> reached_;
  std::promise<void> released_;
  bool stalled_ = false;
  bool released_in_time_ = false;
};

// The errors of one Convert command on an engine of its own, nothing nested.
Texts Convert(Platform& platform, const std::string& input, bool backups) {
  RecordingSink sink;
  const auto engine = std::make_unique<ConversionEngine>(platform, sink);  // megabytes
  engine->RunConversion(input.c_str(), "NO.INI", backups ? 1 : 0, 0);
  return sink.errors();
}

std::string Original(const std::string& name) { return "*version 7.1\nfile " + name + "\n"; }
std::string Converted(const std::string& name) { return "*version 6.1\nfile " + name + "\n"; }

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Runs the first conversion up to its first write, the whole second one, then the rest of
// the first; gives both runs' errors.
std::pair<Texts, Texts> Overlapped(const std::string& first, const std::string& second,
                                   bool backups) {
  StalledPlatform stalled(SystemPlatform());
  Texts first_errors;
  std::thread first_run([&] { first_errors = Convert(stalled, first, backups); });
  const bool stalled_in_time = stalled.AwaitStall();
  const Texts second_errors =
      stalled_in_time ? Convert(SystemPlatform(), second, backups) : Texts{};
  if (stalled_in_time) stalled.Release();
  first_run.join();
  EXPECT_TRUE(stalled_in_time && stalled.released_in_time()) << "the runs did not overlap";
  return {first_errors, second_errors};
}

TEST(BesideOtherRuns, ASecondRunOnAFileBeingConvertedTouchesNothing) {
  ScratchDir scratch;
  const std::string big = scratch.PathOf("BIG.SCH");
  WriteWholeFile(big, Original("BIG"));
  const auto [first_errors, second_errors] = Overlapped(big, big, true);
  EXPECT_EQ(first_errors, Texts{});
  EXPECT_EQ(second_errors, (Texts{"ERROR: File is being converted by another program!\n" + big}));
  EXPECT_EQ(ReadWholeFile(big), Converted("BIG"));
  EXPECT_EQ(ReadWholeFile(scratch.PathOf("BIG.P71")), Original("BIG"));
  EXPECT_EQ(Names(scratch.path()), (std::set<std::string>{"BIG.P71", "BIG.SCH"}));
}

// Files whose temporary names meet: letter case alone apart (where names keep their case,
// else they are one file), and two dotless files. Without backups, since A.SCH and A.sch
// share their backup name too.
TEST(BesideOtherRuns, FilesThatShareATemporaryNameAreEachConvertedIntoTheirOwn) {
  struct Pair {
    const char* first;
    const char* second;
  };
#ifdef _WIN32
  const std::vector<Pair> pairs = {Pair{"ONE", "TWO"}};
#else
  const std::vector<Pair> pairs = {Pair{"A.SCH", "A.sch"}, Pair{"ONE", "TWO"}};
#endif
  for (const Pair& pair : pairs) {
    ScratchDir scratch;
    for (const char* name : {pair.first, pair.second}) {
      WriteWholeFile(scratch.PathOf(name), Original(name));
    }
    const auto [first_errors, second_errors] =
        Overlapped(scratch.PathOf(pair.first), scratch.PathOf(pair.second), false);
    EXPECT_EQ(first_errors, Texts{}) << pair.first;
    EXPECT_EQ(second_errors, Texts{}) << pair.second;
    for (const char* name : {pair.first, pair.second}) {
      EXPECT_EQ(ReadWholeFile(scratch.PathOf(name)), Converted(name));
    }
    EXPECT_EQ(Names(scratch.path()), (std::set<std::string>{pair.first, pair.second}));
  }
}

}  // namespace
}  // namespace kestrune::test
