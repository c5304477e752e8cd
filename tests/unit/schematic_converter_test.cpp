// The per-file converter on the real file system: line rules, names, swap, nesting.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/platform/platform_wrapper.h"
#include "engine/run_state.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/faulty_platform.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;

const char kSchematic[] =
    "*version 7.1 954663936\r\n"
    "u 138\r\n"
    "@attributes\r\n"
    "@setup\r\n"
    "unconnectedPins 0\r\n"
    "connectViaLabel 0\r\n"
    "@index\r\n"
    "pageloc 1 0 4000\r\n"
    "@parts\r\n"
    "a 0 sp 0 0 0 10 hlb 100 PART=R\r\n";

const char kConverted[] =
    "*version 6.1 954663936\n"
    "u 138\n"
    "@attributes\n"
    "@index\n"
    "pageloc 1 0 4000\n"
    "@parts\n"
    "a 0 sp 0 0 0 10 hlb 100 PART=R\n";

class Converter : public EngineFixture {};

TEST_F(Converter, RewritesVersionDropsSetupBlockAndNormalisesLineEnds) {
  Write("AMP.SCH", kSchematic);
  StartRun(false, false);
  engine().ConvertFile("AMP.SCH");
  EXPECT_EQ(Read("AMP.SCH"), kConverted);
  EXPECT_EQ(Names(), (Texts{"AMP.SCH"}));
  EXPECT_TRUE(sink.errors().empty());
  EXPECT_EQ(sink.statuses(), (Texts{"Status: Converting AMP.SCH"}));
  EXPECT_STREQ(engine().visited().Row(0), "AMP.SCH");
}

// What one file becomes: rewritten, left alone at 6.1, or refused and kept byte for byte.
struct VersionCase {
  const char* what;
  std::string bytes;
  std::string after;  // empty: the file keeps its bytes
  const char* error;  // null: none
};

TEST_F(Converter, TheFirstVersionMarkerDecidesAndOnlyA71SchematicIsRewritten) {
  const char kNotNew[] = "ERROR: Not a version 7.1 schematic!\nIN.SCH";
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7 % 251);
  binary += "\r\n@setup\r\n\x1A\r\n";
  const std::vector<VersionCase> cases = {
      {"6.1 first", "*version 6.1 1\r\n@setup\r\nx\r\n", "", nullptr},
      {"both on one line", "*version 7.1 *version 6.1\r\n", "", nullptr},
      {"6.1 mentioned after 7.1",
       "*version 7.1\r\nu 1\r\nA 0 0 0 NOTE '*version 6.1'\r\n*version 7.1 again\r\n",
       "*version 6.1\nu 1\nA 0 0 0 NOTE '*version 6.1'\n*version 6.1 again\n", nullptr},
      {"text file", "a\r\n@setup\r\nb\r\n", "", kNotNew},
      {"empty file", "", "", kNotNew},
      {"binary file", binary, "", kNotNew},
      {"version 5.1", "*version 5.1\r\n@setup\r\nx\r\n@index\r\n", "", kNotNew},
      {"version 9.2", "*version 9.2\r\n@setup\r\nx\r\n@index\r\n", "", kNotNew},
      {"ends inside setup", "*version 7.1\r\n@setup\r\nx\r\nPART=R\r\nwire\r\n", "",
       "ERROR: No @index after @setup!\nIN.SCH"},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
      std::filesystem::remove(entry.path());
    }
    sink.calls.clear();
    Write("IN.SCH", c.bytes);
    StartRun(true, true);
    engine().ConvertFile("IN.SCH");
    const bool rewritten = !c.after.empty();
    EXPECT_EQ(Read("IN.SCH"), rewritten ? c.after : c.bytes);
    EXPECT_EQ(Names(), rewritten ? (Texts{"IN.P71", "IN.SCH"}) : Texts{"IN.SCH"});
    EXPECT_EQ(sink.errors(), c.error != nullptr ? Texts{c.error} : Texts{});
  }
}

TEST_F(Converter, LineRulesApplyInTheirOrder) {
  Write("R.SCH",
        "*version 7.1 *version 7.1\n"
        "@setup @index both\n"
        "@setup\n"
        "dropped\n"
        "@index kept\n");
  StartRun(false, false);
  engine().ConvertFile("R.SCH");
  EXPECT_EQ(Read("R.SCH"),
            "*version 6.1 *version 7.1\n"
            "@setup @index both\n"
            "@index kept\n");
}

TEST_F(Converter, EveryByteIsData) {
  Write("ODD.SCH", std::string("*version 7.1\r\nnul\0byte \x1A sub\r\ntail", 34));
  StartRun(false, false);
  engine().ConvertFile("ODD.SCH");
  EXPECT_EQ(Read("ODD.SCH"), std::string("*version 6.1\nnul\0byte \x1A sub\ntail", 32));
}

TEST_F(Converter, BackupsKeepTheNewestPreviousContentsOrNone) {
  Write("AMP.SCH", kSchematic);
  Write("AMP.P71", "stale backup");
  StartRun(true, false);
  engine().ConvertFile("AMP.SCH");
  EXPECT_EQ(Read("AMP.P71"), kSchematic);

  Write("B.SCH", kSchematic);
  Write("B.P71", "stale backup");
  StartRun(false, false);
  engine().ConvertFile("B.SCH");
  EXPECT_FALSE(Exists("B.P71"));
  EXPECT_EQ(Read("B.SCH"), kConverted);
}

TEST_F(Converter, ALeftoverTemporaryFileIsReplaced) {
  Write("AMP.SCH", kSchematic);
  Write("AMP.TMP", "left by a killed run");
  StartRun(false, false);
  engine().ConvertFile("AMP.SCH");
  EXPECT_EQ(Read("AMP.SCH"), kConverted);
  EXPECT_EQ(Names(), (Texts{"AMP.SCH"}));
}

TEST_F(Converter, InputsNamedLikeTheirTemporaryOrBackupFileAreRefused) {
  for (const char* name : {"X.TMP", "Y.p71"}) {
    Write(name, kSchematic);
    StartRun(true, false);
    engine().ConvertFile(name);
    EXPECT_EQ(Read(name), kSchematic) << name;
  }
  EXPECT_EQ(sink.errors().size(), 2u);
  EXPECT_EQ(Names(), (Texts{"X.TMP", "Y.p71"}));
}

#ifndef _WIN32
TEST_F(Converter, MissingFilesAndNonRegularFilesGetAnErrorAndStayListed) {
  std::filesystem::create_directory(scratch.path() / "DIR.SCH");
  ASSERT_EQ(mkfifo((scratch.path() / "FIFO.SCH").c_str(), 0600), 0);
  StartRun(false, false);
  engine().ConvertFile("NONE.SCH");
  engine().ConvertFile("DIR.SCH");
  engine().ConvertFile("FIFO.SCH");
  engine().ConvertFile("/dev/zero");
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Unable to open input file!\nNONE.SCH",
                                  "ERROR: Input is not a regular file!\nDIR.SCH",
                                  "ERROR: Input is not a regular file!\nFIFO.SCH",
                                  "ERROR: Input is not a regular file!\n/dev/zero"}));
  EXPECT_EQ(engine().visited().VisitedCount(), 4);
  EXPECT_EQ(Names(), (Texts{"DIR.SCH", "FIFO.SCH"}));
}

TEST_F(Converter, KeepsPermissionBitsAndSymbolicLinks) {
  std::filesystem::create_directory(scratch.path() / "real");
  Write("real/AMP.SCH", kSchematic);
  ASSERT_EQ(chmod((scratch.path() / "real/AMP.SCH").c_str(), 0640), 0);
  std::filesystem::create_symlink("real/AMP.SCH", scratch.path() / "LINK.SCH");
  StartRun(true, false);
  engine().ConvertFile("LINK.SCH");
  EXPECT_TRUE(std::filesystem::is_symlink(scratch.path() / "LINK.SCH"));
  EXPECT_EQ(Read("real/AMP.SCH"), kConverted);
  EXPECT_EQ(Read("real/AMP.P71"), kSchematic);
  struct stat info {};
  ASSERT_EQ(stat((scratch.path() / "real/AMP.SCH").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

#else
TEST_F(Converter, MissingFilesFoldersAndDevicesGetAnErrorAndStayListed) {
  std::filesystem::create_directory(scratch.path() / "DIR.SCH");
  StartRun(false, false);
  engine().ConvertFile("NONE.SCH");
  engine().ConvertFile("DIR.SCH");
  engine().ConvertFile("NUL");
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Unable to open input file!\nNONE.SCH",
                                  "ERROR: Input is not a regular file!\nDIR.SCH",
                                  "ERROR: Input is not a regular file!\nNUL"}));
  EXPECT_EQ(engine().visited().VisitedCount(), 3);
  EXPECT_EQ(Names(), (Texts{"DIR.SCH"}));
}

#endif

TEST_F(Converter, DotlessFilesInOneNestedRunGetSeparateTemporaryFiles) {
  Write("TOP", "*version 7.1\nPART=SUB\nend top\n");
  Write("SUB", "*version 7.1\nsub\n");
  StartRun(true, true, {{"SUB", "SUB"}});
  engine().ConvertFile("TOP");
  EXPECT_TRUE(sink.errors().empty());
  EXPECT_EQ(Read("TOP"), "*version 6.1\nPART=SUB\nend top\n");
  EXPECT_EQ(Read("SUB"), "*version 6.1\nsub\n");
  EXPECT_EQ(Names(), (Texts{"SUB", "SUB.P71", "TOP", "TOP.P71"}));
}

// TOP.SCH and its nested dotless TOP both back up to TOP.P71: the nested file's backup is its
// only copy of the old contents, so the top file is refused instead.
TEST_F(Converter, ABackupOfThisRunIsNeverReplacedByAnother) {
  Write("TOP.SCH", "*version 7.1\nPART=SUB\nend top\n");
  Write("TOP", "*version 7.1\nnested\n");
  StartRun(true, true, {{"SUB", "TOP"}});
  engine().ConvertFile("TOP.SCH");
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Backup name already used in this run!\nTOP.SCH"}));
  EXPECT_EQ(Read("TOP.SCH"), "*version 7.1\nPART=SUB\nend top\n");
  EXPECT_EQ(Read("TOP"), "*version 6.1\nnested\n");
  EXPECT_EQ(Read("TOP.P71"), "*version 7.1\nnested\n");
  EXPECT_EQ(Names(), (Texts{"TOP", "TOP.P71", "TOP.SCH"}));
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Stands for a shared folder (sticky, as /tmp) and a file of another user in it: the backup link
// can be made, but neither the rename over the input nor the removal of the link is allowed.
class SharedFolder : public PlatformWrapper {
 public:
  explicit SharedFolder(Platform& base = SystemPlatform()) : PlatformWrapper(base) {}
  bool RenameReplacing(const char* from, const char* to) override {
    if (!EndsWith(to, ".SCH")) return PlatformWrapper::RenameReplacing(from, to);
    errno = EPERM;
    return false;
  }
  bool Remove(const char* path) override {
    if (!EndsWith(path, ".P71") || !std::filesystem::exists(path)) {
      return PlatformWrapper::Remove(path);
    }
    errno = EPERM;
    return false;
  }
};

TEST_F(Converter, ABackupLeftByAFailedSwapIsNamed) {
  Write("AMP.SCH", kSchematic);
  SharedFolder folder;
  RunConversionOn(folder, sink, "AMP.SCH", "NO.INI", true, false);
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Unable to replace input file! The backup file could not "
                                  "be removed:\nAMP.P71"}));
  EXPECT_EQ(sink.infos(), (Texts{"AMP.SCH\nFinished with errors!"}));
  EXPECT_EQ(Read("AMP.SCH"), kSchematic);
  EXPECT_EQ(Names(), (Texts{"AMP.P71", "AMP.SCH"}));
}

// Stands for another run that takes the temporary name in the moment between this run's
// closing of its file and the swap's rename: it renames a file of its own over the name once
// the backup, if any, is made (where it is copied, its copy looks for a free name first).
class TakingTheTemporaryName : public PlatformWrapper {
 public:
  explicit TakingTheTemporaryName(bool backups)
      : PlatformWrapper(SystemPlatform()), backups_(backups) {}
  bool Sync(FileHandle file) override {
    written_ = true;
    return PlatformWrapper::Sync(file);
  }
  bool Query(const char* path, FileInfo* info) override {
    if (written_ && !taken_ && EndsWith(path, "AMP.TMP") &&
        (!backups_ || std::filesystem::exists("AMP.P71"))) {
      taken_ = true;
      std::filesystem::rename("OTHER.TMP", path);
    }
    return PlatformWrapper::Query(path, info);
  }

 private:
  bool backups_;
  bool written_ = false;
  bool taken_ = false;
};

// Nothing is renamed over the input, and the other run's file stays, also where the backup
// link cannot be removed again.
TEST_F(Converter, ATemporaryNameTakenBeforeTheSwapIsNeitherRenamedNorRemoved) {
  struct Case {
    bool backups;
    bool shared_folder;
    std::string error;
    Texts names;
  };
  const Case cases[] = {
      {false, false, "ERROR: Unable to replace input file!\nAMP.SCH", {"AMP.SCH", "AMP.TMP"}},
      {true, false, "ERROR: Unable to replace input file!\nAMP.SCH", {"AMP.SCH", "AMP.TMP"}},
      {true,
       true,
       "ERROR: Unable to replace input file! The backup file could not be removed:\nAMP.P71",
       {"AMP.P71", "AMP.SCH", "AMP.TMP"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.backups ? "backups" : "no backups") +
                 (c.shared_folder ? ", shared folder" : ""));
    for (const std::string& name : Names()) std::filesystem::remove(name);
    Write("AMP.SCH", kSchematic);
    Write("OTHER.TMP", "another run's file");
    TakingTheTemporaryName other_run(c.backups);
    SharedFolder shared(other_run);
    sink.calls.clear();
    RunConversionOn(c.shared_folder ? static_cast<Platform&>(shared) : other_run, sink, "AMP.SCH",
                    "NO.INI", c.backups, false);
    EXPECT_EQ(sink.errors(), Texts{c.error});
    EXPECT_EQ(Read("AMP.SCH"), kSchematic);
    EXPECT_EQ(Read("AMP.TMP"), "another run's file");
    EXPECT_EQ(Names(), c.names);
  }
}

#ifndef _WIN32
// Windows opens the input so that no other program may write it while it is converted.

// Stands for another program that appends to a file while the run writes its first bytes.
class AppendingMeanwhile : public PlatformWrapper {
 public:
  AppendingMeanwhile(const std::string& path, std::string lines)
      : PlatformWrapper(SystemPlatform()), path_(path), lines_(std::move(lines)) {}
  bool Write(FileHandle file, const char* data, std::size_t size) override {
    if (!lines_.empty()) {
      std::ofstream(path_, std::ios::binary | std::ios::app) << lines_;
      lines_.clear();
    }
    return PlatformWrapper::Write(file, data, size);
  }

 private:
  std::string path_;
  std::string lines_;
};

TEST_F(Converter, AnInputChangedWhileItIsConvertedKeepsTheChanges) {
  for (bool backups : {false, true}) {
    Write("AMP.SCH", kSchematic);
    AppendingMeanwhile other_program(scratch.PathOf("AMP.SCH"), "appended line\r\n");
    sink.calls.clear();
    RunConversionOn(other_program, sink, "AMP.SCH", "NO.INI", backups, false);
    EXPECT_EQ(sink.errors(), (Texts{"ERROR: Input file changed while it was converted!\nAMP.SCH"}));
    EXPECT_EQ(Read("AMP.SCH"), std::string(kSchematic) + "appended line\r\n");
    EXPECT_EQ(Names(), (Texts{"AMP.SCH"}));
  }
}

#endif

TEST_F(Converter, NestedFilesAreConvertedFirstAndEachOnlyOnce) {
  Write("A.SCH", "*version 7.1\nPART=TOB\nPART=SELF\nafter\n");
  Write("B.SCH", "*version 7.1\nPART=TOA\nb\n");
  StartRun(false, true, {{"TOB", "B.SCH"}, {"TOA", "a.sch"}, {"SELF", "A.SCH"}});
  engine().ConvertFile("A.SCH");
  EXPECT_EQ(Read("A.SCH"), "*version 6.1\nPART=TOB\nPART=SELF\nafter\n");
  EXPECT_EQ(Read("B.SCH"), "*version 6.1\nPART=TOA\nb\n");
  EXPECT_EQ(sink.statuses(), (Texts{"Status: Converting A.SCH", "Status: Converting B.SCH"}));
  EXPECT_EQ(engine().visited().VisitedCount(), 2);
}

// A file at 6.1 needs no temporary file, so a folder where none can be made (read-only, or
// full) leaves it alone without an error, its parts followed; a 7.1 file there cannot be
// converted and says so.
TEST_F(Converter, AFileAt61IsLeftAloneWhereNoTemporaryFileCanBeMade) {
  Write("OLD.SCH", "*version 6.1\nPART=NEW\n");
  Write("NEW.SCH", "*version 7.1\nnew\n");
  FaultyPlatform refusing(SystemPlatform());
  refusing.FailEvery(Call::kCreateNew);
  RecordingSink told;
  const auto run = std::make_unique<ConversionEngine>(refusing, told);  // megabytes
  run->StartRun(false, true);
  run->parts().SetPartName(0, "NEW");
  run->parts().SetPartDefault(0, "NEW.SCH");
  run->ConvertFile("OLD.SCH");
  EXPECT_EQ(told.errors(), (Texts{"ERROR: Unable to create temporary output file!\nNEW.SCH"}));
  EXPECT_EQ(told.statuses(), (Texts{"Status: Converting OLD.SCH"}));
  EXPECT_EQ(run->visited().VisitedCount(), 2) << "the part of the file at 6.1 was not followed";
  EXPECT_EQ(Read("OLD.SCH"), "*version 6.1\nPART=NEW\n");
  EXPECT_EQ(Read("NEW.SCH"), "*version 7.1\nnew\n");
  EXPECT_EQ(Names(), (Texts{"NEW.SCH", "OLD.SCH"}));
}

TEST_F(Converter, PartsLeadNowhereWhenNestingIsOffOrTheyAreNotFound) {
  Write("A.SCH", "*version 7.1\nPART=SUB\nPART=GONE\nPART=LATE\n");
  Write("B.SCH", "*version 7.1\n");
  StartRun(false, false, {{"SUB", "B.SCH"}});
  engine().ConvertFile("A.SCH");
  EXPECT_EQ(Read("B.SCH"), "*version 7.1\n");
  EXPECT_EQ(engine().visited().VisitedCount(), 1);

  StartRun(false, true, {{"", "B.SCH"}, {"SUB", "B.SCH"}});
  engine().ConvertFile("A.SCH");
  EXPECT_EQ(Read("B.SCH"), "*version 7.1\n");
}

TEST_F(Converter, OnlyALastLineFeedIsTakenOffThePartValue) {
  Write("A.SCH", "*version 7.1\nPART=SUB");
  Write("B.SCH", "*version 7.1\n");
  StartRun(false, true, {{"SUB", "B.SCH"}});
  engine().ConvertFile("A.SCH");
  EXPECT_EQ(Read("B.SCH"), "*version 6.1\n");
}

// Visited means the same file: reached again under another name it closes a cycle and is
// passed over in silence, also once it has been converted; a file of a similar name is
// another file (on Windows, which ignores letter case, b.sch is B.SCH).
TEST_F(Converter, AFileReachedAgainUnderAnotherNameIsPassedOverInSilence) {
  std::filesystem::create_directory(scratch.path() / "sub");
  const std::string absolute = scratch.PathOf("AMP.SCH");
  std::vector<std::pair<std::string, std::string>> parts = {
      {"DOT", ".\\AMP.SCH"}, {"UP", "sub\\..\\AMP.SCH"}, {"ABS", absolute},    {"CASE", "amp.sch"},
      {"NEXT", "B.SCH"},     {"SIMILAR", "b.sch"},       {"AGAIN", ".\\B.SCH"}};
  std::string top = "*version 7.1\nPART=DOT\nPART=UP\nPART=ABS\nPART=CASE\n";
#ifndef _WIN32
  std::filesystem::create_symlink("AMP.SCH", scratch.path() / "LINK.SCH");
  parts.emplace_back("LINK", "LINK.SCH");
  top += "PART=LINK\n";
  Write("b.sch", "*version 7.1\nsimilar\n");
  const Texts listed = {"AMP.SCH", "B.SCH", "b.sch"};
#else
  const Texts listed = {"AMP.SCH", "B.SCH"};
#endif
  top += "PART=NEXT\nPART=AGAIN\n";
  Write("AMP.SCH", top);
  Write("B.SCH", "*version 7.1\nPART=SIMILAR\nPART=AGAIN\nPART=DOT\n");
  StartRun(true, true, parts);
  engine().ConvertFile("AMP.SCH");
  EXPECT_EQ(sink.errors(), Texts{});
  Texts rows;
  for (int row = 0; row < engine().visited().VisitedCount(); ++row) {
    rows.push_back(engine().visited().Row(row));
  }
  EXPECT_EQ(rows, listed);
  EXPECT_EQ(Read("AMP.SCH"), "*version 6.1" + top.substr(12));
  EXPECT_EQ(Read("AMP.P71"), top);
#ifndef _WIN32
  EXPECT_EQ(Read("b.sch"), "*version 6.1\nsimilar\n");
  EXPECT_TRUE(std::filesystem::is_symlink(scratch.path() / "LINK.SCH"));
#endif
}

// A file held open that the run never visited, here a nested file's temporary file under its
// alternative name, is neither converted nor touched.
TEST_F(Converter, AFileHeldOpenButNeverVisitedIsNeverTouched) {
  Write("TOP", "*version 7.1\nPART=SUB\ntop\n");
  Write("SUB", "*version 7.1\nPART=OWN\nsub\n");
  StartRun(false, true, {{"SUB", "SUB"}, {"OWN", "QUORVA.TMP1"}});
  engine().ConvertFile("TOP");
#ifndef _WIN32
  const char* error = "ERROR: File is already being converted in this run!\nQUORVA.TMP1";
#else
  const char* error = "ERROR: Unable to open input file!\nQUORVA.TMP1";  // by its share mode
#endif
  EXPECT_EQ(sink.errors(), Texts{error});
  EXPECT_EQ(Read("TOP"), "*version 6.1\nPART=SUB\ntop\n");
  EXPECT_EQ(Read("SUB"), "*version 6.1\nPART=OWN\nsub\n");
  EXPECT_EQ(Names(), (Texts{"SUB", "TOP"}));
  EXPECT_EQ(engine().visited().VisitedCount(), 3);
}

TEST_F(Converter, SharedTemporaryNamesOfDifferentInputsAreKeptApart) {
  Write("X.SCH", "*version 7.1\nPART=OTHER\nx\n");
  Write("X.SC", "*version 7.1\nother\n");
  StartRun(false, true, {{"OTHER", "X.SC"}});
  engine().ConvertFile("X.SCH");
  EXPECT_TRUE(sink.errors().empty());
  EXPECT_EQ(Read("X.SCH"), "*version 6.1\nPART=OTHER\nx\n");
  EXPECT_EQ(Read("X.SC"), "*version 6.1\nother\n");
  EXPECT_EQ(Names(), (Texts{"X.SC", "X.SCH"}));
}

}  // namespace
}  // namespace kestrune::test
