// The library loader over an in-memory INI file and libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"
#include "engine/platform/memory_platform.h"
#include "engine/platform/platform_wrapper.h"
#include "tests/support/recording_sink.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;

// A file, the one named recent, whose times are too close to now to tell a change by: a
// rewrite within the tick leaves its description as it was.
class RecentTimes : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  FileHandle OpenForRead(const char* path) override {
    const FileHandle file = PlatformWrapper::OpenForRead(path);
    if (path == recent) recent_file_ = file;
    return file;
  }
  bool Query(const char* path, FileInfo* info) override {
    return PlatformWrapper::Query(path, info) && Blur(path == recent, info);
  }
  bool QueryOpen(FileHandle file, FileInfo* info) override {
    return PlatformWrapper::QueryOpen(file, info) && Blur(file == recent_file_, info);
  }
  // The platform's own times are never 0.
  bool TimesSettled(const FileInfo& info) override {
    return info.modified != 0 && PlatformWrapper::TimesSettled(info);
  }
  std::string recent;

 private:
  static bool Blur(bool blurred, FileInfo* info) {
    if (blurred) info->modified = 0;
    return true;
  }
  FileHandle recent_file_ = kNoFile;
};

class Loader : public ::testing::Test {
 protected:
  int Load(const std::string& ini) {
    files_.AddFile(".\\MSIM.INI", ini);
    return engine_->LoadPartLibraries(".\\MSIM.INI");
  }
  void AddLibrary(const std::string& path, const std::string& text) { files_.AddFile(path, text); }
  const char* FindPart(const char* name) { return engine_->FindPart(name); }
  const PartEntry& Row(int row) { return engine_->parts().Row(row); }

  // How many times the libraries were opened so far.
  std::ptrdiff_t LibraryOpens() const {
    return std::count_if(files_.opened_paths().begin(), files_.opened_paths().end(),
                         [](const std::string& path) { return path.find(".slb") != path.npos; });
  }

  MemoryPlatform files_;
  RecentTimes times_{files_};
  RecordingSink sink_;
  std::unique_ptr<ConversionEngine> engine_ = std::make_unique<ConversionEngine>(times_, sink_);
};

TEST_F(Loader, ReadsListedLibrariesInOrderWithTheirStatusTexts) {
  AddLibrary("C:\\LIBS\\ONE.slb", "*version 7.1\nPART=AMP\nDEFAULT=amp.sch\n");
  AddLibrary("D:\\OWN\\TWO.slb", "PART=Amp\r\nDEFAULT=other.sch\r\nPART=FILT\nDEFAULT=filt.sch\n");
  EXPECT_EQ(
      Load("[MICROSIM]\nLIBPATH=\"C:\\LIBS\"\n[PART LIBS]\nLIB1=ONE [.slb]\nLIB2=D:\\OWN\\TWO\n"),
      1);
  EXPECT_EQ(sink_.statuses(),
            (Texts{"Status: Finding LIB Path...", "Status: Lib Path set to C:\\LIBS",
                   "Status: Loading library ONE", "Status: Loading library D:\\OWN\\TWO",
                   "Status: Loaded 3 parts"}));
  EXPECT_STREQ(FindPart("amp"), "amp.sch");
  EXPECT_STREQ(FindPart("FILT"), "filt.sch");
  EXPECT_TRUE(sink_.errors().empty());
}

TEST_F(Loader, TheListEndsAtTheFirstMissingEmptyOrEndMarkerKey) {
  AddLibrary("Unknown\\B.slb", "PART=B\nDEFAULT=b\n");
  Load("[PART LIBS]\nLIB2=B\n");
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 0 parts");
  EXPECT_EQ(sink_.statuses()[1], "Status: Lib Path set to Unknown");

  sink_.calls.clear();
  Load("[PART LIBS]\nLIB1=empty\nLIB2=B\nLIB3=EMPTY\nLIB4=B\n");
  EXPECT_EQ(sink_.statuses(),
            (Texts{"Status: Finding LIB Path...", "Status: Lib Path set to Unknown",
                   "Status: Loading library empty", "Status: Loading library B",
                   "Status: Loaded 1 parts"}));
}

TEST_F(Loader, AMissingIniFileLoadsNothingAndSaysNothing) {
  EXPECT_EQ(engine_->LoadPartLibraries(".\\NONE.INI"), 1);
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 0 parts");
  EXPECT_TRUE(sink_.errors().empty());
}

// With nested conversion on, an INI file or library that cannot be read and parts beyond the
// table are each shown once, in their place, and loading goes on; with it off, nothing is.
TEST_F(Loader, WithNestedConversionOnWhatCannotBeLoadedIsShownInItsPlace) {
  using Kind = SinkCall::Kind;
  std::string many;
  for (int i = 0; i <= kPartRows; ++i) many += "PART=P" + std::to_string(i) + "\nDEFAULT=d\n";
  AddLibrary("L\\MANY.slb", many);
  AddLibrary("L\\MORE.slb", "PART=LATE\nDEFAULT=late\n");
  for (const bool embedded : {true, false}) {
    SCOPED_TRACE(embedded ? "nested conversion on" : "nested conversion off");
    engine_->StartRun(false, embedded);
    sink_.calls.clear();
    engine_->LoadPartLibraries(".\\NONE.INI");
    Load("[MICROSIM]\nLIBPATH=L\n[PART LIBS]\nLIB1=GONE\nLIB2=MANY\nLIB3=MORE\n");
    std::vector<SinkCall> expected = {
        {Kind::kStatus, "Status: Finding LIB Path..."},
        {Kind::kError, "ERROR: Unable to read INI file!\n.\\NONE.INI"},
        {Kind::kStatus, "Status: Lib Path set to Unknown"},
        {Kind::kStatus, "Status: Loaded 0 parts"},
        {Kind::kStatus, "Status: Finding LIB Path..."},
        {Kind::kStatus, "Status: Lib Path set to L"},
        {Kind::kStatus, "Status: Loading library GONE"},
        {Kind::kError, "ERROR: Unable to read part library!\nL\\GONE.slb"},
        {Kind::kStatus, "Status: Loading library MANY"},
        {Kind::kError, "ERROR: Too many parts: only the first 1000 are used!\nL\\MANY.slb"},
        {Kind::kStatus, "Status: Loading library MORE"},
        {Kind::kStatus, "Status: Loaded 1000 parts"}};
    if (!embedded) {
      expected.erase(std::remove_if(expected.begin(), expected.end(),
                                    [](const SinkCall& call) { return call.kind == Kind::kError; }),
                     expected.end());
    }
    EXPECT_EQ(sink_.calls, expected);
    EXPECT_STREQ(FindPart("P999"), "d");
    EXPECT_EQ(FindPart("LATE"), nullptr);

    // The next command finds every file as it was: it keeps the table, reads nothing again
    // and shows just what a fresh load shows.
    const std::ptrdiff_t opens = LibraryOpens();
    sink_.calls.clear();
    engine_->LoadPartLibraries(".\\MSIM.INI");
    expected.erase(expected.begin(), expected.begin() + (embedded ? 4 : 3));
    EXPECT_EQ(sink_.calls, expected);
    EXPECT_EQ(LibraryOpens(), opens);
    EXPECT_STREQ(FindPart("P999"), "d");
  }
}

// A table is kept only where a fresh load would give the same one.
TEST_F(Loader, ATableIsKeptOnlyWhileTheIniFileAndEveryLibraryAreAsTheyWere) {
  const std::string ini = "[MICROSIM]\nLIBPATH=L\n[PART LIBS]\nLIB1=GONE\nLIB2=ONE\n";
  const std::string old_library = "PART=AMP\nDEFAULT=old.sch\n";
  const std::string new_library = "PART=AMP\nDEFAULT=new.sch\n";  // of the same size
  struct Change {
    const char* what;
    std::function<void()> make;
    const char* found;
  };
  const std::vector<Change> changes = {
      {"nothing", [] {}, "old.sch"},
      {"a library rewritten in place", [&] { files_.RewriteFile("L\\ONE.slb", new_library); },
       "new.sch"},
      {"a library replaced", [&] { files_.AddFile("L\\ONE.slb", new_library); }, "new.sch"},
      {"a missing library added", [&] { files_.AddFile("L\\GONE.slb", new_library); }, "new.sch"},
      {"the INI file rewritten in place",
       [&] { files_.RewriteFile(".\\MSIM.INI", "[MICROSIM]\nLIBPATH=L\n[PART LIBS]\nLIB1=TWO\n"); },
       "two.sch"},
      {"a library rewritten within the tick of its last change",
       [&] { files_.RewriteFile("L\\ONE.slb", new_library); }, "new.sch"},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    files_ = MemoryPlatform();
    engine_ = std::make_unique<ConversionEngine>(times_, sink_);
    times_.recent = &change == &changes.back() ? "L\\ONE.slb" : "";
    AddLibrary("L\\ONE.slb", old_library);
    AddLibrary("L\\TWO.slb", "PART=AMP\nDEFAULT=two.sch\n");
    Load(ini);
    ASSERT_STREQ(FindPart("AMP"), "old.sch");
    change.make();
    const std::ptrdiff_t opens = LibraryOpens();
    engine_->LoadPartLibraries(".\\MSIM.INI");
    EXPECT_STREQ(FindPart("AMP"), change.found);
    EXPECT_EQ(LibraryOpens() > opens, change.found != std::string("old.sch"));
  }
}

TEST_F(Loader, RowsFollowTheLastNameBeforeEachDefault) {
  AddLibrary("L\\ONE.slb", "PART=LOST\nPART=KEPT\nDEFAULT=k\nPART=CARRIED\n");
  AddLibrary("L\\TWO.slb", "DEFAULT=c\nDEFAULT=nameless\nPART=HIDDEN\nDEFAULT=h\nPART=DANGLING\n");
  Load("[MICROSIM]\nLIBPATH=L\n[PART LIBS]\nLIB1=ONE\nLIB2=TWO\n");
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 4 parts");
  EXPECT_STREQ(Row(0).Name, "KEPT");
  EXPECT_STREQ(FindPart("carried"), "c");
  EXPECT_EQ(FindPart("LOST"), nullptr);
  EXPECT_EQ(FindPart("HIDDEN"), nullptr);  // behind the nameless row
  EXPECT_STREQ(Row(4).Name, "DANGLING");
  EXPECT_STREQ(Row(4).Default, "");
}

}  // namespace
}  // namespace kestrune::test
