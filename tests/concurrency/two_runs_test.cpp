// Two conversions on two threads of one process give exactly what they give one after another.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
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

// Lets each party on only when all have arrived, or when the wait runs out.
class Rendezvous {
 public:
  explicit Rendezvous(int parties) : waiting_(parties) {}

  // False when the others did not come in time.
  bool ArriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (--waiting_ == 0) arrived_.notify_all();
    return arrived_.wait_for(lock, std::chrono::seconds(30), [this] { return waiting_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  int waiting_;
};

// Holds its run at the first write until the other run has reached its own: both runs are
// then certainly in the middle of a conversion at once.
class MeetingPlatform : public PlatformWrapper {
 public:
  MeetingPlatform(Platform& target, Rendezvous& rendezvous)
      : PlatformWrapper(target), rendezvous_(rendezvous) {}

  bool Write(FileHandle file, const char* data, std::size_t size) override {
    if (!arrived_) {
      arrived_ = true;
      met_ = rendezvous_.ArriveAndWait();
    }
    return PlatformWrapper::Write(file, data, size);
  }
  bool met() const { return met_; }

 private:
  Rendezvous& rendezvous_;
  bool arrived_ = false;
  bool met_ = false;
};

// What a run left: every file of its folder and everything it told.
struct Outcome {
  std::map<std::string, std::string> files;
  std::vector<SinkCall> told;
};

// A folder with a large top schematic whose part leads, through the folder's own INI file
// and library, to a nested one; all paths absolute, since the threads share one current
// directory.
class DesignFolder {
 public:
  DesignFolder(const fs::path& root, const std::string& name) : folder_(root / name), name_(name) {}

  void Plant() const {
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    std::string top = "*version 7.1\r\n@setup\r\nx\r\n@index\r\nPART=SUB\r\n";
    // A few megabytes, different in each folder, so that the runs write many times.
    for (int line = 0; line < 100000; ++line)
      top += name_ + " " + std::to_string(line) + " wire text\r\n";
    WriteWholeFile(folder_ / "TOP.SCH", top);
    WriteWholeFile(folder_ / "SUB.SCH", "*version 7.1\r\nsub\r\n");
    WriteWholeFile(folder_ / "KEST.slb", "PART=SUB\r\nDEFAULT=" + Path("SUB.SCH") + "\r\n");
    WriteWholeFile(folder_ / "MSIM.INI", "[MICROSIM]\r\nLIBPATH=" + NativePath(folder_) +
                                             "\r\n[PART LIBS]\r\nLIB1=KEST\r\n");
  }

  std::string Path(const std::string& name) const { return NativePath(folder_ / name); }

  Outcome Convert(Platform& platform) const {
    RecordingSink sink;
    const auto engine = std::make_unique<ConversionEngine>(platform, sink);  // megabytes
    engine->RunConversion(Path("TOP.SCH").c_str(), Path("MSIM.INI").c_str(), 1, 1);
    Outcome outcome{{}, sink.calls};
    for (const auto& entry : fs::directory_iterator(folder_)) {
      outcome.files[entry.path().filename().string()] = ReadWholeFile(entry.path());
    }
    return outcome;
  }

 private:
  fs::path folder_;
  std::string name_;
};

// The names whose contents differ between the two outcomes (the files are too large to print).
std::vector<std::string> Differences(const Outcome& a, const Outcome& b) {
  std::vector<std::string> names;
  for (const auto& [name, contents] : a.files) {
    const auto other = b.files.find(name);
    if (other == b.files.end() || other->second != contents) names.push_back(name);
  }
  for (const auto& entry : b.files) {
    if (a.files.count(entry.first) == 0) names.push_back(entry.first);
  }
  return names;
}

TEST(TwoRuns, OnTwoThreadsGiveWhatTheyGiveOneAfterAnother) {
  ScratchDir scratch;
  const DesignFolder first(scratch.path(), "A");
  const DesignFolder second(scratch.path(), "B");
  first.Plant();
  second.Plant();
  const Outcome first_alone = first.Convert(SystemPlatform());
  const Outcome second_alone = second.Convert(SystemPlatform());
  ASSERT_EQ(first_alone.files.size(), 6u) << "converted, backed up, library and INI file";

  first.Plant();
  second.Plant();
  Rendezvous rendezvous(2);
  MeetingPlatform first_platform(SystemPlatform(), rendezvous);
  MeetingPlatform second_platform(SystemPlatform(), rendezvous);
  Outcome first_together;
  std::thread other([&] { first_together = first.Convert(first_platform); });
  const Outcome second_together = second.Convert(second_platform);
  other.join();

  EXPECT_TRUE(first_platform.met() && second_platform.met()) << "the runs did not overlap";
  EXPECT_EQ(Differences(first_together, first_alone), std::vector<std::string>{});
  EXPECT_TRUE(first_together.told == first_alone.told);
  EXPECT_EQ(Differences(second_together, second_alone), std::vector<std::string>{});
  EXPECT_TRUE(second_together.told == second_alone.told);
}

}  // namespace
}  // namespace kestrune::test
