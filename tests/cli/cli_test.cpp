// Runs of the built kestrune-cli: arguments, exit status, traces, and the files it leaves.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "res/version.h"
#include "tests/cli/cli_process.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

// A top-level schematic as the Windows tools write it (CRLF), leading to SUB.SCH through the
// part SUBBLK, and what it must become.
constexpr char kTop[] =
    "*version 7.1 1047380067\r\n@attributes\r\n@setup\r\nunconnectedPins 0\r\n"
    "connectViaLabel 0\r\n@index\r\npageloc 1 0 3482 \r\n@parts\r\n"
    "part 8 SUBBLK 70 110 h\r\na 0 sp 11 0 0 0 hln 100 PART=SUBBLK\r\n@text\r\n";
constexpr char kTopConverted[] =
    "*version 6.1 1047380067\n@attributes\n@index\npageloc 1 0 3482 \n@parts\n"
    "part 8 SUBBLK 70 110 h\na 0 sp 11 0 0 0 hln 100 PART=SUBBLK\n@text\n";
constexpr char kSub[] =
    "*version 7.1 31125426\n@setup\nAutoGenStim4ExtIFPorts 1\n@index\n"
    "a 0 sp 0 0 0 10 hlb 100 PART=R\n";
constexpr char kSubConverted[] = "*version 6.1 31125426\n@index\na 0 sp 0 0 0 10 hlb 100 PART=R\n";

// Two parts: SUBBLK leads to SUB.SCH, OTHER to a file that does not exist.
constexpr char kLibrary[] =
    "*version 7.1 870703573\r\n@index\r\n*symbol SUBBLK\r\n@attributes\r\n"
    "a 0 sp 11 0 0 0 hln 100 PART=SUBBLK\r\n@views\r\na 0 u 13 0 0 0 hln 100 DEFAULT=SUB.SCH\r\n"
    "*symbol OTHER\r\na 0 sp 11 0 0 0 hln 100 PART=OTHER\r\n"
    "a 0 u 13 0 0 0 hln 100 DEFAULT=OTHER.SCH\r\n";
// The library folder is written relative and quoted, as real INI files quote it.
constexpr char kIni[] =
    "[MICROSIM]\r\nLIBPATH=\".\\lib\"\r\n[PART LIBS]\r\nLIB1=MYPARTS [.slb]\r\n";

// The trace of loading no library at all (INI file missing).
constexpr char kNoLibraries[] =
    "SetStatus\tStatus: Finding LIB Path...\n"
    "SetStatus\tStatus: Lib Path set to Unknown\n"
    "SetStatus\tStatus: Loaded 0 parts\n";

const std::vector<std::string> kNoIni = {"--ini", "./none.ini"};

std::vector<std::string> Join(std::vector<std::string> first,
                              const std::vector<std::string>& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// True when wanted appear among lines in this order (others may lie between them).
bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
  std::size_t next = 0;
  for (const std::string& line : lines) {
    if (next < wanted.size() && line == wanted[next]) ++next;
  }
  return next == wanted.size();
}

class CliTest : public ::testing::Test {
 protected:
  fs::path InWork(const std::string& name) const { return sandbox_.work() / name; }
  void Put(const std::string& name, const std::string& bytes) const {
    fs::create_directories(InWork(name).parent_path());
    WriteWholeFile(InWork(name), bytes);
  }
  std::string Get(const std::string& name) const { return ReadWholeFile(InWork(name)); }
  // The top file, its nested file, the library and the INI file that lists it.
  void PutHierarchy() const {
    Put("TOP.SCH", kTop);
    Put("SUB.SCH", kSub);
    Put("lib/MYPARTS.SLB", kLibrary);
    Put("MSIM.INI", kIni);
  }
  CliResult Run(const std::vector<std::string>& arguments) const { return sandbox_.Run(arguments); }

  CliSandbox sandbox_;
};

TEST_F(CliTest, HelpAndVersionExitZeroOnStandardOutput) {
  const CliResult help = Run({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.out.find("Usage: kestrune-cli"), std::string::npos) << help.out;
  EXPECT_EQ(Lines(help.out).back(), KESTRUNE_BUG_REPORT_LINE);
  EXPECT_EQ(help.err, "");

  const CliResult version = Run({"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(Lines(version.out),
            (std::vector<std::string>{"kestrune-cli (KESTRUNE) " KESTRUNE_VERSION_TEXT,
                                      KESTRUNE_LICENCE_LINE}));
  EXPECT_EQ(version.err, "");
}

TEST_F(CliTest, UsageErrorsExitTwoWithAMessageAndConvertNothing) {
  Put("TOP.SCH", kTop);
  struct Misuse {
    std::vector<std::string> arguments;
    std::string named;  // what the message must mention
  };
  const std::vector<Misuse> misuses = {{{}, ""},
                                       {{"--trace", "--backup"}, ""},
                                       {{"TOP.SCH", "--frobnicate"}, "--frobnicate"},
                                       {{"TOP.SCH", "-x"}, "-x"},
                                       {{"TOP.SCH", "--backup=yes"}, "--backup"},
                                       {{"TOP.SCH", "--ini"}, "--ini"},
                                       {{"TOP.SCH", "-i"}, "-i"}};
  for (const Misuse& misuse : misuses) {
    const CliResult result = Run(misuse.arguments);
    SCOPED_TRACE(testing::PrintToString(misuse.arguments));
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err, "");
    EXPECT_NE(result.err.find(misuse.named), std::string::npos) << result.err;
  }
  EXPECT_EQ(Get("TOP.SCH"), kTop);
  EXPECT_EQ(FolderListing(sandbox_.work()), std::vector<std::string>{"TOP.SCH"});
}

TEST_F(CliTest, MissingInputShowsTheErrorBeforeTheClosingMessage) {
  const CliResult result = Run(Join({"--trace"}, Join(kNoIni, {"MISSING.SCH"})));
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, std::string(kNoLibraries) +
                            "ShowError\tERROR: Unable to open input file!\\nMISSING.SCH\n"
                            "ShowInfo\tMISSING.SCH\\nFinished with errors!\n"
                            "SetStatus\tStatus: Idle\n");
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(FolderListing(sandbox_.work()).empty());
}

TEST_F(CliTest, TraceOfAWholeNestedRun) {
  PutHierarchy();
  const CliResult result = Run({"--trace", "--ini", "./MSIM.INI", "--embedded", "TOP.SCH"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out,
            "SetStatus\tStatus: Finding LIB Path...\n"
            "SetStatus\tStatus: Lib Path set to .\\\\lib\n"
            "SetStatus\tStatus: Loading library MYPARTS\n"
            "SetStatus\tStatus: Loaded 2 parts\n"
            "SetStatus\tStatus: Converting TOP.SCH\n"
            "SetStatus\tStatus: Converting SUB.SCH\n"
            "ShowInfo\tTOP.SCH\\nSUB.SCH\\nConverted!\n"
            "SetStatus\tStatus: Idle\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Get("TOP.SCH"), kTopConverted);
  EXPECT_EQ(Get("SUB.SCH"), kSubConverted);
  EXPECT_EQ(FolderListing(sandbox_.work()),
            (std::vector<std::string>{"MSIM.INI", "SUB.SCH", "TOP.SCH", "lib"}));
}

// A signal while both levels' temporary files are there (at the first fsync, the nested
// file's): the run removes them, leaves the inputs as they were and the program exits with
// 128 plus the signal's number. So it does when four workers are held in flushes that do not
// end: after a while their temporary files are removed under them.
TEST_F(CliTest, InterruptedRunLeavesNoTemporaryFileAndTheInputsWhole) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal_number));
    const std::vector<std::string> environment = {
        std::string("LD_PRELOAD=") + KESTRUNE_SIGNAL_AT_FSYNC,
        "KESTRUNE_TEST_FSYNC_SIGNAL=" + std::to_string(signal_number),
        "ASAN_OPTIONS=verify_asan_link_order=0"};
    fs::remove_all(sandbox_.work());
    fs::create_directory(sandbox_.work());
    PutHierarchy();
    CliResult result = sandbox_.Run({"--ini", "./MSIM.INI", "--embedded", "TOP.SCH"}, environment);
    EXPECT_EQ(result.signal, 0) << "killed by the signal";
    EXPECT_EQ(result.exit_status, 128 + signal_number);
    EXPECT_EQ(Get("TOP.SCH"), kTop);
    EXPECT_EQ(Get("SUB.SCH"), kSub);
    EXPECT_EQ(FolderListing(sandbox_.work()),
              (std::vector<std::string>{"MSIM.INI", "SUB.SCH", "TOP.SCH", "lib"}));

    // Four files converted at once, each with its temporary file there, none of them ending.
    fs::remove_all(sandbox_.work());
    fs::create_directory(sandbox_.work());
    const std::vector<std::string> names = {"A.SCH", "B.SCH", "C.SCH", "D.SCH"};
    for (const std::string& name : names) Put(name, kSub);
    std::vector<std::string> at_once = environment;
    at_once.insert(at_once.end(), {"KESTRUNE_JOBS=4", "KESTRUNE_TEST_FSYNC_TOGETHER=4"});
    result = sandbox_.Run(Join(kNoIni, names), at_once);
    EXPECT_EQ(result.exit_status, 128 + signal_number);
    for (const std::string& name : names) EXPECT_EQ(Get(name), kSub) << name;
    EXPECT_EQ(FolderListing(sandbox_.work()), names);
  }
}

// Without --ini the design tools' own "C:\WINDOWS\MSIM.INI" is read, from the Wine prefix.
TEST_F(CliTest, DefaultIniIsFoundInTheWinePrefix) {
  const fs::path drive = sandbox_.wine_prefix() / "drive_c";
  fs::create_directories(drive / "windows");
  fs::create_directories(drive / "msimev71" / "lib");
  fs::create_directories(sandbox_.wine_prefix() / "dosdevices");
  fs::create_directory_symlink("../drive_c", sandbox_.wine_prefix() / "dosdevices" / "c:");
  WriteWholeFile(
      drive / "windows" / "msim.ini",
      "[MICROSIM]\r\nLIBPATH=\"C:\\MSIMEV71\\LIB\"\r\n[PART LIBS]\r\nLIB1=MYPARTS [.slb]\r\n");
  WriteWholeFile(drive / "msimev71" / "lib" / "myparts.slb", kLibrary);
  Put("TOP.SCH", kTop);
  Put("SUB.SCH", kSub);

  const CliResult result = Run({"--trace", "--embedded", "TOP.SCH"});
  EXPECT_EQ(result.exit_status, 0);
  const std::vector<std::string> lines = Lines(result.out);
  EXPECT_TRUE(InOrder(
      lines, {"SetStatus\tStatus: Lib Path set to C:\\\\MSIMEV71\\\\LIB",
              "SetStatus\tStatus: Loaded 2 parts", "ShowInfo\tTOP.SCH\\nSUB.SCH\\nConverted!"}))
      << result.out;
  EXPECT_EQ(Get("SUB.SCH"), kSubConverted);
}

TEST_F(CliTest, TraceEscapesBackslashControlAndHighBytes) {
  const std::string odd = std::string("odd\t\r\n") + "\x01" + "\x7f" + "\xe9" + ".sch";
  const std::string odd_escaped = "odd\\t\\r\\n\\x01\\x7f\\xe9.sch";
  Put(odd, kSub);
  Put("sub/deep.sch", kSub);  // named with a backslash, which separates folders

  const CliResult result = Run(Join({"--trace"}, Join(kNoIni, {odd, "sub\\deep.sch"})));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, std::string(kNoLibraries) + "SetStatus\tStatus: Converting " + odd_escaped +
                            "\n" + "ShowInfo\t" + odd_escaped + "\\nConverted!\n" +
                            "SetStatus\tStatus: Idle\n" + kNoLibraries +
                            "SetStatus\tStatus: Converting sub\\\\deep.sch\n"
                            "ShowInfo\tsub\\\\deep.sch\\nConverted!\n"
                            "SetStatus\tStatus: Idle\n");
  EXPECT_EQ(Get(odd), kSubConverted);
  EXPECT_EQ(Get("sub/deep.sch"), kSubConverted);
}

TEST_F(CliTest, EmptyFileArgumentActsAsTheEmptyInputField) {
  const CliResult result = Run(Join({"--trace"}, Join(kNoIni, {""})));
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, std::string(kNoLibraries) +
                            "ShowError\tERROR: No input file given!\n"
                            "ShowInfo\tFinished with errors!\n"
                            "SetStatus\tStatus: Idle\n");
  EXPECT_TRUE(FolderListing(sandbox_.work()).empty());
}

// Each file as its work ends, then the closing line once and, for several files, the summary;
// errors on standard error as the shell's tools write them. Quiet keeps the errors only. Any
// error makes the exit status 1.
TEST_F(CliTest, ReportListsEachFileWithWhatBecameOfIt) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_status;
    std::string out;
    std::string err;
  };
  const std::string kAllFiles =
      "GOOD.SCH: converted\nOLD.SCH: already at 6.1, left unchanged\n"
      "BAD.SCH: not converted (Not a version 7.1 schematic)\n"
      "MISSING.SCH: not converted (Unable to open input file: No such file or directory)\n"
      "Finished with errors!\n1 converted, 1 already at 6.1, 2 not converted\n";
  const std::string kAllErrors =
      "kestrune-cli: BAD.SCH: Not a version 7.1 schematic\n"
      "kestrune-cli: MISSING.SCH: Unable to open input file: No such file or directory\n";
  const std::vector<Case> cases = {
      {{"GOOD.SCH", "OLD.SCH"},
       0,
       "GOOD.SCH: converted\nOLD.SCH: already at 6.1, left unchanged\nConverted!\n"
       "1 converted, 1 already at 6.1, 0 not converted\n",
       ""},
      {{"GOOD.SCH", "OLD.SCH", "BAD.SCH", "MISSING.SCH"}, 1, kAllFiles, kAllErrors},
      {{"-q", "GOOD.SCH", "OLD.SCH", "BAD.SCH", "MISSING.SCH"}, 1, "", kAllErrors},
      {{"--quiet", "GOOD.SCH"}, 0, "", ""},
  };
  for (const Case& run : cases) {
    SCOPED_TRACE(testing::PrintToString(run.arguments));
    Put("GOOD.SCH", kSub);
    Put("OLD.SCH", kSubConverted);
    Put("BAD.SCH", "not a schematic\n");
    const CliResult result = Run(Join(kNoIni, run.arguments));
    EXPECT_EQ(result.exit_status, run.exit_status);
    EXPECT_EQ(result.out, run.out);
    EXPECT_EQ(result.err, run.err);
    EXPECT_EQ(Get("GOOD.SCH"), kSubConverted);
    EXPECT_EQ(Get("BAD.SCH"), "not a schematic\n");
  }
}

// Short options, grouped or not, long ones abbreviated or with "=": the same run each time.
TEST_F(CliTest, OptionSpellingsAskForTheSameRun) {
  const std::vector<std::vector<std::string>> spellings = {
      {"-b", "-e", "-i", "./MSIM.INI", "TOP.SCH"},
      {"-bei./MSIM.INI", "TOP.SCH"},
      {"TOP.SCH", "--backup", "--embedded", "--ini=./MSIM.INI"},
      {"--back", "--emb", "--ini", "./MSIM.INI", "TOP.SCH"},
  };
  for (const std::vector<std::string>& arguments : spellings) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    PutHierarchy();
    fs::remove(InWork("TOP.P71"));
    const CliResult result = Run(arguments);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, "SUB.SCH: converted\nTOP.SCH: converted\nConverted!\n");
    EXPECT_EQ(Get("TOP.P71"), kTop);
    EXPECT_EQ(Get("SUB.SCH"), kSubConverted);
  }
}

// Each FILE is its own Convert command: the visited list starts empty each time, so a file
// converted by an earlier one is met again, found at 6.1 and left alone, its parts followed.
TEST_F(CliTest, SeveralFilesAreSeveralRuns) {
  PutHierarchy();
  const CliResult result =
      Run({"--trace", "--ini", "./MSIM.INI", "--embedded", "TOP.SCH", "SUB.SCH", "TOP.SCH"});
  EXPECT_EQ(result.exit_status, 0);
  std::vector<std::string> loads;
  std::vector<std::string> closings;
  for (const std::string& line : Lines(result.out)) {
    if (line == "SetStatus\tStatus: Loaded 2 parts") loads.push_back(line);
    if (line.rfind("ShowInfo\t", 0) == 0) closings.push_back(line);
  }
  EXPECT_EQ(loads.size(), 3u);
  EXPECT_EQ(closings, (std::vector<std::string>{"ShowInfo\tTOP.SCH\\nSUB.SCH\\nConverted!",
                                                "ShowInfo\tSUB.SCH\\nConverted!",
                                                "ShowInfo\tTOP.SCH\\nSUB.SCH\\nConverted!"}));
  EXPECT_EQ(Lines(result.out).back(), "SetStatus\tStatus: Idle");
  EXPECT_EQ(Get("TOP.SCH"), kTopConverted);
  EXPECT_EQ(Get("SUB.SCH"), kSubConverted);
  EXPECT_EQ(FolderListing(sandbox_.work()),
            (std::vector<std::string>{"MSIM.INI", "SUB.SCH", "TOP.SCH", "lib"}));
}

TEST_F(CliTest, BackupKeepsThePreviousContentsAndItsAbsenceRemovesAnOldOne) {
  Put("TOP.SCH", kTop);
  EXPECT_EQ(Run(Join({"--backup"}, Join(kNoIni, {"TOP.SCH"}))).exit_status, 0);
  EXPECT_EQ(Get("TOP.SCH"), kTopConverted);
  EXPECT_EQ(Get("TOP.P71"), kTop);

  Put("TOP.SCH", kTop);
  EXPECT_EQ(Run(Join(kNoIni, {"TOP.SCH"})).exit_status, 0);
  EXPECT_EQ(Get("TOP.SCH"), kTopConverted);
  EXPECT_EQ(FolderListing(sandbox_.work()), std::vector<std::string>{"TOP.SCH"});
}

// One command line never removes or replaces a backup it made: a later file whose backup name
// is taken stays as it was.
TEST_F(CliTest, ALaterFileNeverReplacesTheBackupOfAnEarlierOne) {
  Put("a.sch", kSub);
  Put("a", kTop);
  Put("a.old", kTop);
  Put("b.sch", kSub);
  const CliResult result = Run(Join(kNoIni, {"-b", "a.sch", "a", "a.old", "b.sch"}));
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err,
            "kestrune-cli: a: Backup name already used in this run\n"
            "kestrune-cli: a.old: Backup name already used in this run\n");
  EXPECT_EQ(Get("a.P71"), kSub);
  EXPECT_EQ(Get("a.sch"), kSubConverted);
  EXPECT_EQ(Get("a"), kTop);
  EXPECT_EQ(Get("a.old"), kTop);
  EXPECT_EQ(Get("b.P71"), kSub);
  EXPECT_EQ(FolderListing(sandbox_.work()),
            (std::vector<std::string>{"a", "a.P71", "a.old", "a.sch", "b.P71", "b.sch"}));
}

TEST_F(CliTest, WithoutEmbeddedTheNestedFileStaysAsItWas) {
  PutHierarchy();
  const CliResult result = Run({"--trace", "--ini", "./MSIM.INI", "TOP.SCH"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_TRUE(InOrder(Lines(result.out),
                      {"SetStatus\tStatus: Loaded 2 parts", "ShowInfo\tTOP.SCH\\nConverted!"}))
      << result.out;
  EXPECT_EQ(Get("TOP.SCH"), kTopConverted);
  EXPECT_EQ(Get("SUB.SCH"), kSub);
}

TEST_F(CliTest, DoubleDashMakesTheRestFileNames) {
  Put("--odd.SCH", kSub);
  const CliResult result = Run(Join(kNoIni, {"--", "--odd.SCH"}));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "--odd.SCH: converted\nConverted!\n");
  EXPECT_EQ(Get("--odd.SCH"), kSubConverted);
}

// Every name under a folder, a folder's with a trailing '/', each file's with its contents.
std::map<std::string, std::string> TreeSnapshot(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    if (entry.is_symlink()) {
      tree[name] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      tree[name + "/"] = "";
    } else {
      tree[name] = ReadWholeFile(entry.path());
    }
  }
  return tree;
}

// A folder stands for its *.sch files of any case, in name order; -r adds its subfolders'
// where their names fall, never through a link to a folder. The closing line and a summary
// end the report.
TEST_F(CliTest, FolderConvertsItsSchematicsInNameOrder) {
  struct Case {
    std::vector<std::string> options;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{},
       "dir/B.SCH: converted\ndir/a.sch: converted\ndir/c.Sch: converted\nConverted!\n"
       "3 converted, 0 already at 6.1, 0 not converted\n"},
      {{"-r"},
       "dir/B.SCH: converted\ndir/a.sch: converted\ndir/b/d.sch: converted\n"
       "dir/c.Sch: converted\nConverted!\n4 converted, 0 already at 6.1, 0 not converted\n"},
  };
  for (const Case& run : cases) {
    SCOPED_TRACE(testing::PrintToString(run.options));
    fs::remove_all(InWork("dir"));
    for (const char* name : {"dir/a.sch", "dir/B.SCH", "dir/c.Sch", "dir/b/d.sch"}) {
      Put(name, kSub);
    }
    Put("dir/notes.txt", "not a schematic\n");
    fs::create_directory_symlink("b", InWork("dir/link"));
    const CliResult result = Run(Join(Join(kNoIni, run.options), {"dir"}));
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, run.out);
    EXPECT_EQ(Get("dir/notes.txt"), "not a schematic\n");
  }
}

// On POSIX a name in another letter case is another file: a run changes only its input and
// the temporary and backup names derived from the input's own name, spelled exactly.
TEST_F(CliTest, ANameInAnotherLetterCaseIsAnotherFile) {
  using Tree = std::map<std::string, std::string>;
  struct Case {
    const char* what;
    Tree before;
    std::vector<std::vector<std::string>> command_lines;
    Tree after;
  };
  const std::string kUsers = "a user's file\n";
  const std::vector<Case> cases = {
      {"files of the user beside the input",
       {{"a.sch", kSub}, {"a.tmp", kUsers}, {"A.p71", kUsers}, {"A.TMP", kUsers}},
       {{"a.sch"}},
       {{"a.sch", kSubConverted}, {"a.tmp", kUsers}, {"A.p71", kUsers}, {"A.TMP", kUsers}}},
      {"two files of one command line",
       {{"a.sch", kSub}, {"A.SCH", kTop}},
       {{"-b", "a.sch", "A.SCH"}},
       {{"a.sch", kSubConverted}, {"a.P71", kSub}, {"A.SCH", kTopConverted}, {"A.P71", kTop}}},
      {"another file's backup, without backups",
       {{"a.sch", kSub}, {"A.SCH", kTop}},
       {{"-b", "A.SCH"}, {"a.sch"}},
       {{"a.sch", kSubConverted}, {"A.SCH", kTopConverted}, {"A.P71", kTop}}},
      {"another file's backup, in another command line",
       {{"a.sch", kSub}, {"A.SCH", kTop}},
       {{"-b", "a.sch"}, {"-b", "A.SCH"}},
       {{"a.sch", kSubConverted}, {"a.P71", kSub}, {"A.SCH", kTopConverted}, {"A.P71", kTop}}},
      {"an input found in another letter case",
       {{"Dir/Amp.Sch", kSub}, {"Dir/amp.tmp", kUsers}},
       {{"-b", "dir/AMP.SCH"}},
       {{"Dir/", ""},
        {"Dir/Amp.Sch", kSubConverted},
        {"Dir/Amp.P71", kSub},
        {"Dir/amp.tmp", kUsers}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(sandbox_.work());
    for (const auto& [name, bytes] : c.before) Put(name, bytes);
    for (const std::vector<std::string>& arguments : c.command_lines) {
      const CliResult result = Run(Join(kNoIni, arguments));
      EXPECT_EQ(result.exit_status, 0) << testing::PrintToString(arguments) << result.err;
    }
    EXPECT_EQ(TreeSnapshot(sandbox_.work()), c.after);
  }
}

// Files converted at once are reported, and end up, exactly as one after another: the first
// file is large, so the files after it finish first.
TEST_F(CliTest, FilesConvertedAtOnceAreReportedAsOneAfterAnother) {
  std::string large = kSub;
  for (int line = 0; line < 400000; ++line) large += "a 0 sp 0 0 0 10 hlb 100 PART=R\r\n";
  const auto put_folder = [&] {
    fs::remove_all(InWork("dir"));
    Put("dir/A.SCH", large);
    for (int file = 0; file < 24; ++file) Put("dir/F" + std::to_string(file) + ".SCH", kSub);
    Put("dir/OLD.SCH", kSubConverted);
    Put("dir/BAD.SCH", "not a schematic\n");
  };
  std::vector<CliResult> results;
  std::vector<std::map<std::string, std::string>> trees;
  for (const char* jobs : {"1", "8"}) {
    put_folder();
    setenv("KESTRUNE_JOBS", jobs, 1);
    results.push_back(Run(Join(kNoIni, {"--backup", "dir"})));
    unsetenv("KESTRUNE_JOBS");
    trees.push_back(TreeSnapshot(InWork("dir")));
  }
  EXPECT_EQ(results[0].exit_status, 1);
  EXPECT_EQ(results[1].exit_status, results[0].exit_status);
  EXPECT_EQ(results[1].out, results[0].out);
  EXPECT_EQ(results[1].err, results[0].err);
  EXPECT_EQ(trees[1], trees[0]);
}

// Under a memory limit that leaves room for a few workers only, 64 jobs convert and tell
// every file exactly as one file after another does; so they do with room for none.
TEST_F(CliTest, ABatchShortOfMemoryForWorkersGoesOnWithThoseItHas) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limits leave";
#endif
  const auto put_folder = [&] {
    fs::remove_all(InWork("dir"));
    for (int file = 0; file < 100; ++file) Put("dir/F" + std::to_string(file) + ".SCH", kSub);
    Put("dir/BAD.SCH", "not a schematic\n");
  };
  put_folder();
  const CliResult one_after_another =
      sandbox_.Run(Join(kNoIni, {"-b", "dir"}), {"KESTRUNE_JOBS=1"});
  const std::map<std::string, std::string> converted = TreeSnapshot(InWork("dir"));
  ASSERT_EQ(one_after_another.exit_status, 1) << one_after_another.err;
  for (const rlim_t megabytes : {24, 48, 96, 192}) {
    SCOPED_TRACE(std::to_string(megabytes) + " MB");
    put_folder();
    const CliResult at_once =
        sandbox_.Run(Join(kNoIni, {"-b", "dir"}), {"KESTRUNE_JOBS=64"}, megabytes << 20);
    EXPECT_EQ(at_once.exit_status, one_after_another.exit_status) << at_once.err;
    EXPECT_EQ(at_once.out, one_after_another.out);
    EXPECT_EQ(at_once.err, one_after_another.err);
    EXPECT_EQ(TreeSnapshot(InWork("dir")), converted);
  }
}

// What a dry run prints where the real run prints report: each file's line in the words of
// what would be done, no closing line, the summary in the same words.
std::string AsDryRun(const std::string& report) {
  const std::vector<std::pair<std::string, std::string>> words = {
      {": converted", ": would be converted"},
      {": already at 6.1, left unchanged", ": already at 6.1, would be left unchanged"},
      {": not converted (", ": would not be converted ("},
      {" converted, ", " would be converted, "},
      {" not converted", " would not be converted"}};
  std::string dry;
  for (std::string line : Lines(report)) {
    if (line == "Converted!" || line == "Finished with errors!") continue;
    for (const auto& [real, would] : words) {
      const std::size_t at = line.find(real);
      if (at != std::string::npos) {
        line.replace(at, real.size(), would);
        if (real[0] == ':') break;
      }
    }
    dry += line + "\n";
  }
  return dry;
}

// A dry run changes nothing, creates nothing and removes nothing, and reports what the real
// run after it does, in the words of what would be done: also for a file converted by an
// earlier command of the same run, for one reached again under another name once converted,
// and for one whose backup name an earlier file took.
TEST_F(CliTest, DryRunLeavesTheTreeAndReportsWhatTheRealRunDoes) {
  for (const std::vector<std::string>& backup : {std::vector<std::string>{}, {"--backup"}}) {
    SCOPED_TRACE(testing::PrintToString(backup));
    fs::remove_all(sandbox_.work());
    PutHierarchy();
    Put("MSIM.INI", std::string(kIni) + "LIB2=AGAIN\r\n");
    Put("lib/AGAIN.slb", "PART=AGAIN\r\nDEFAULT=.\\SUB.SCH\r\n");
    Put("A_TWICE.SCH", "*version 7.1\r\nPART=SUBBLK\r\nPART=AGAIN\r\n");
    Put("DUP.SCH", kSub);
    Put("DUP.sch", kSub);  // its backup name is DUP.SCH's
    Put("TOP.P71", "an old backup\n");
    Put("BAD.SCH", "not a schematic\n");
    Put("sub/NESTED.SCH", kTop);
    const std::vector<std::string> arguments =
        Join(backup, {"-r", "-e", "--ini", "./MSIM.INI", "."});
    const std::map<std::string, std::string> before = TreeSnapshot(sandbox_.work());

    const CliResult dry = Run(Join({"-n"}, arguments));
    EXPECT_EQ(TreeSnapshot(sandbox_.work()), before);
    const CliResult real = Run(arguments);
    EXPECT_NE(TreeSnapshot(sandbox_.work()), before);
    EXPECT_EQ(dry.exit_status, real.exit_status);
    EXPECT_EQ(dry.out, AsDryRun(real.out));
    EXPECT_EQ(dry.err, real.err);
    // Reached first as A_TWICE.SCH's nested file, then again as the folder's own: one line.
    EXPECT_EQ(Lines(real.out).front(), "SUB.SCH: converted") << real.out;
    EXPECT_EQ(real.out.find("./SUB.SCH"), std::string::npos) << real.out;
  }
}

// Files that lead to one nested file, which the folder holds too: each Convert command visits
// it, the command line lists it once, under its first spelling, and counts it once.
TEST_F(CliTest, EachFileIsListedOnceAndCountedOnce) {
  PutHierarchy();
  fs::rename(InWork("TOP.SCH"), InWork("A.SCH"));
  Put("B.SCH", kTop);
  Put("C.SCH", kTop);
  const std::vector<std::string> nested = {"-e", "--ini", "./MSIM.INI"};
  struct Case {
    std::vector<std::string> arguments;
    std::string out;
  };
  const std::vector<Case> runs = {
      {Join(Join({"-n"}, nested), {"."}),
       "SUB.SCH: would be converted\n./A.SCH: would be converted\n./B.SCH: would be converted\n"
       "./C.SCH: would be converted\n"
       "4 would be converted, 0 already at 6.1, 0 would not be converted\n"},
      {Join(nested, {"."}),
       "SUB.SCH: converted\n./A.SCH: converted\n./B.SCH: converted\n./C.SCH: converted\n"
       "Converted!\n4 converted, 0 already at 6.1, 0 not converted\n"},
      {Join(nested, {"."}),
       "SUB.SCH: already at 6.1, left unchanged\n./A.SCH: already at 6.1, left unchanged\n"
       "./B.SCH: already at 6.1, left unchanged\n./C.SCH: already at 6.1, left unchanged\n"
       "Converted!\n0 converted, 4 already at 6.1, 0 not converted\n"},
      // As a shell's pattern gives them.
      {Join(nested, {"A.SCH", "B.SCH", "C.SCH", "SUB.SCH"}),
       "SUB.SCH: already at 6.1, left unchanged\nA.SCH: already at 6.1, left unchanged\n"
       "B.SCH: already at 6.1, left unchanged\nC.SCH: already at 6.1, left unchanged\n"
       "Converted!\n0 converted, 4 already at 6.1, 0 not converted\n"},
  };
  for (const Case& run : runs) {
    SCOPED_TRACE(testing::PrintToString(run.arguments));
    const CliResult result = Run(run.arguments);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, run.out);
    EXPECT_EQ(result.err, "");
  }
  EXPECT_EQ(Get("SUB.SCH"), kSubConverted);
}

// An error names the path as the user wrote it, or as this system names a path the program
// built, and ends with the system's own reason.
TEST_F(CliTest, ErrorsEndWithTheSystemsReason) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::vector<std::string> arguments;
    bool without_rights;
    std::string out;
    std::string err;
  };
  const std::string kHint =
      "kestrune-cli: hint: an INI file named without a folder is looked for in the Windows "
      "folder; write ./MSIM.INI for the one in the current folder\n";
  const std::vector<Case> cases = {
      {"a missing file", [] {}, Join(kNoIni, {"MISSING.SCH"}), false,
       "MISSING.SCH: not converted (Unable to open input file: No such file or directory)\n"
       "Finished with errors!\n",
       "kestrune-cli: MISSING.SCH: Unable to open input file: No such file or directory\n"},
      {"a missing folder, written as on Windows", [] {}, Join(kNoIni, {"sub\\TOP.SCH"}), false,
       "sub\\TOP.SCH: not converted (Unable to open input file: No such file or directory)\n"
       "Finished with errors!\n",
       "kestrune-cli: sub\\TOP.SCH: Unable to open input file: No such file or directory\n"},
      {"a read-only folder",
       [this] {
         Put("ro/TOP.SCH", kTop);
         fs::permissions(InWork("ro"), fs::perms(0555));
       },
       Join(kNoIni, {"ro/TOP.SCH"}), true,
       "ro/TOP.SCH: not converted (Unable to create temporary output file: Permission denied)\n"
       "Finished with errors!\n",
       "kestrune-cli: ro/TOP.SCH: Unable to create temporary output file: Permission denied\n"},
      {"a library that is not there",
       [this] {
         PutHierarchy();
         fs::remove(InWork("lib/MYPARTS.SLB"));
       },
       {"-e", "--ini", "./MSIM.INI", "TOP.SCH"},
       false,
       "TOP.SCH: converted\nFinished with errors!\n",
       "kestrune-cli: ./lib/MYPARTS.slb: Unable to read part library: No such file or "
       "directory\n"},
      {"an INI file without its folder",
       [this] { PutHierarchy(); },
       {"-e", "--ini", "MSIM.INI", "TOP.SCH"},
       false,
       "TOP.SCH: converted\nFinished with errors!\n",
       "kestrune-cli: MSIM.INI: Unable to read INI file: No such file or directory\n" + kHint},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (fs::exists(InWork("ro"))) fs::permissions(InWork("ro"), fs::perms(0755));
    fs::remove_all(sandbox_.work());
    fs::create_directory(sandbox_.work());
    c.prepare();
    const CliResult result =
        c.without_rights ? sandbox_.RunWithoutRights(c.arguments) : Run(c.arguments);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
}

// Where standard output and standard error are one terminal, a file's error shows once.
TEST_F(CliTest, OnATerminalEachErrorShowsOnce) {
  Put("GOOD.SCH", kSub);
  Put("BAD.SCH", "not a schematic\n");
  const CliResult result =
      sandbox_.RunOnTerminal(Join(kNoIni, {"MISSING.SCH", "BAD.SCH", "GOOD.SCH"}));
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out,
            "kestrune-cli: MISSING.SCH: Unable to open input file: No such file or directory\n"
            "kestrune-cli: BAD.SCH: Not a version 7.1 schematic\n"
            "GOOD.SCH: converted\nFinished with errors!\n"
            "1 converted, 0 already at 6.1, 2 not converted\n");
}

// A folder that gives no file to convert, and a job count that cannot be used, are warned
// about on standard error; a warning leaves the exit status as it is.
TEST_F(CliTest, FoldersWithoutSchematicsAndBadJobCountsAreWarnedAbout) {
  fs::create_directories(InWork("empty"));
  Put("notes/a.txt", "no schematic\n");
  Put("deep/deeper/A.SCH", kSubConverted);
  Put("OLD.SCH", kSubConverted);
  const std::string kNothing = "0 converted, 0 already at 6.1, 0 not converted\n";
  const std::string kJobs = " is not a number from 1 to 64; up to 8 files are converted at once\n";
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> variables;
    std::string out;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"empty"}, {}, kNothing, "kestrune-cli: empty: warning: the folder is empty\n"},
      {{"-q", "empty"}, {}, "", "kestrune-cli: empty: warning: the folder is empty\n"},
      {{"notes"}, {}, kNothing, "kestrune-cli: notes: warning: no *.sch file in the folder\n"},
      {{"-r", "notes"},
       {},
       kNothing,
       "kestrune-cli: notes: warning: no *.sch file in the folder or its subfolders\n"},
      {{"deep"},
       {},
       kNothing,
       "kestrune-cli: deep: warning: no *.sch file in the folder, only in its subfolders: add "
       "-r to convert them\n"},
      {{"-r", "deep"},
       {},
       "deep/deeper/A.SCH: already at 6.1, left unchanged\nConverted!\n"
       "0 converted, 1 already at 6.1, 0 not converted\n",
       ""},
      {{"OLD.SCH"},
       {"KESTRUNE_JOBS=64"},
       "OLD.SCH: already at 6.1, left unchanged\nConverted!\n",
       ""},
  };
  std::vector<Case> all = cases;
  for (const char* jobs : {"abc", "0", "65", "4x", ""}) {
    all.push_back({{"OLD.SCH"},
                   {std::string("KESTRUNE_JOBS=") + jobs},
                   "OLD.SCH: already at 6.1, left unchanged\nConverted!\n",
                   std::string("kestrune-cli: warning: KESTRUNE_JOBS=") + jobs + kJobs});
  }
  for (const Case& c : all) {
    SCOPED_TRACE(testing::PrintToString(c.arguments) + testing::PrintToString(c.variables));
    const CliResult result = sandbox_.Run(Join(kNoIni, c.arguments), c.variables);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
}

}  // namespace
}  // namespace kestrune::test
