// Faults that only real file systems give: a full disk, a rename across devices, missing rights,
// files that are not files, one file under several names, and leftovers of stopped runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/platform_wrapper.h"
#include "tests/reliability/child_process.h"
#include "tests/reliability/tmpfs_mount.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/text_model.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using std::chrono::milliseconds;

constexpr milliseconds kTimeout{20000};
const std::string kCreateError = "ERROR: Unable to create temporary output file!";
const std::string kOpenError = "ERROR: Unable to open input file!";
const std::string kWriteError = "ERROR: Unable to write temporary output file!";
const std::string kReplaceError = "ERROR: Unable to replace input file!";
const std::string kBackupLeft =
    "ERROR: Unable to replace input file! The backup file could not be removed:";
const std::string kNotRegular = "ERROR: Input is not a regular file!";
const std::string kOwnName = "ERROR: Input file has the extension of a temporary or backup file!";

// An error as shown: its text, then the path it is about.
std::string About(const std::string& error, const std::string& path) { return error + "\n" + path; }

// A schematic of about the given size, and what its conversion gives.
struct Schematic {
  std::string original;
  std::string converted;
};

Schematic MakeSchematic(const std::vector<std::string>& parts, std::size_t bytes = 0) {
  std::string original = "*version 7.1 954663936\r\n@setup\r\nunconnectedPins 0\r\n@index\r\n";
  for (const std::string& part : parts) original += "a 0 sp 0 0 0 10 hlb 100 PART=" + part + "\r\n";
  for (int n = 0; original.size() < bytes; ++n)
    original += "w 22 " + std::to_string(n) + " 380 230 390 230\n";
  return {original, model::ConvertSchematic(original).output};
}

// The names in a folder and all below it, relative to it, sorted.
std::set<std::string> NamesUnder(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.insert(fs::relative(entry.path(), folder).string());
  }
  return names;
}

class RealFileSystem : public EngineFixture {
 protected:
  void SetUp() override {
    if (geteuid() != 0)
      GTEST_SKIP() << "needs root to mount file systems and to run as another user";
    WriteParts({});  // every run converts nested files, so it reads an INI file and a library
  }

  // A library and INI file that map each part name to its default.
  void WriteParts(const std::vector<std::pair<std::string, std::string>>& parts) const {
    std::string library;
    for (const auto& [name, value] : parts)
      library += "PART=" + name + "\r\nDEFAULT=" + value + "\r\n";
    Write("KEST.slb", library);
    Write("MSIM.INI", "[MICROSIM]\r\nLIBPATH=.\r\n[PART LIBS]\r\nLIB1=KEST\r\n");
  }

  void Run(const std::string& input, bool backups) {
    sink.calls.clear();
    engine().RunConversion(input.c_str(), ".\\MSIM.INI", backups ? 1 : 0, 1);
  }
};

// What a run in a child showed: its errors, one a line, then its closing message.
std::string RunAndTell(const std::string& input, bool backups) {
  RecordingSink seen;
  RunConversionOn(SystemPlatform(), seen, input.c_str(), ".\\MSIM.INI", backups, true);
  std::string told;
  for (const std::string& error : seen.errors()) told += error + "\n";
  return told + "closing: " + (seen.infos().empty() ? "" : seen.infos().back());
}

TEST_F(RealFileSystem, AFullDiskLeavesTheInputWholeAndNoTemporaryFile) {
  const TmpfsMount disk(scratch.path() / "disk", "size=384k");
  if (!disk.mounted()) GTEST_SKIP() << disk.error();
  const Schematic amp = MakeSchematic({}, 100 * 1024);
  int converted = 0;
  int write_failures = 0;
  for (std::size_t fill = 120 * 1024; fill <= 280 * 1024; fill += 4096) {
    const bool backups = fill % 8192 == 0;
    SCOPED_TRACE("disk filled with " + std::to_string(fill) + " bytes, backups " +
                 (backups ? "on" : "off"));
    for (const auto& entry : fs::directory_iterator(disk.path())) fs::remove(entry.path());
    Write("disk/AMP.SCH", amp.original);
    Write("disk/FILL", std::string(fill, 'f'));
    Run("disk\\AMP.SCH", backups);
    const std::string now = Read("disk/AMP.SCH");
    std::set<std::string> expected = {"AMP.SCH", "FILL"};
    if (now == amp.converted) {
      ++converted;
      EXPECT_TRUE(sink.errors().empty());
      if (backups) expected.insert("AMP.P71");
    } else {
      ASSERT_EQ(now, amp.original) << "the input is damaged";
      ASSERT_EQ(sink.errors().size(), 1u);
      const std::string write_error = About(kWriteError, "disk\\AMP.SCH");
      EXPECT_TRUE(sink.errors()[0] == write_error ||
                  sink.errors()[0] == About(kCreateError, "disk\\AMP.SCH"))
          << sink.errors()[0];
      write_failures += sink.errors()[0] == write_error ? 1 : 0;
    }
    EXPECT_EQ(NamesUnder(disk.path()), expected);
    EXPECT_EQ(sink.infos(),
              (Texts{std::string("disk\\AMP.SCH\n") +
                     (now == amp.converted ? "Converted!" : "Finished with errors!")}));
  }
  std::cout << "[ figures  ] full disk: " << converted << " runs converted, " << write_failures
            << " stopped by the full disk while writing\n";
  EXPECT_GT(converted, 0) << "the disk was never roomy enough: the test proves nothing";
  EXPECT_GT(write_failures, 0) << "the disk never ran full while the temporary file was written";
}

// A dotless file in a folder whose name has a dot, on another file system than the current
// directory: its temporary file lies beside it, so the swap stays on its file system, and the
// user's files named after the folder are not touched.
TEST_F(RealFileSystem, ADotlessFileIsConvertedBesideItselfWhereverTheCurrentDirectoryIs) {
  const TmpfsMount inputs(scratch.path() / "inputs", "size=1m");
  const TmpfsMount current(scratch.path() / "current", "size=1m");
  if (!inputs.mounted() || !current.mounted()) GTEST_SKIP() << inputs.error() << current.error();
  fs::create_directory(inputs.path() / "v1.d");
  const std::string plain = (inputs.path() / "v1.d" / "PLAIN").string();
  const Schematic schematic = MakeSchematic({});
  for (const char* name : {"MSIM.INI", "KEST.slb"}) {
    fs::copy_file(scratch.path() / name, current.path() / name);
  }
  for (const char* name : {"v1.TMP", "v1.P71"}) WriteWholeFile(inputs.path() / name, name);
  fs::current_path(current.path());
  for (bool backups : {false, true}) {
    WriteWholeFile(plain, schematic.original);
    fs::remove(plain + ".P71");
    Run(plain, backups);
    EXPECT_EQ(ReadWholeFile(plain), schematic.converted);
    EXPECT_EQ(sink.errors(), Texts{});
    std::set<std::string> expected{"v1.d", "v1.d/PLAIN", "v1.TMP", "v1.P71"};
    if (backups) expected.insert("v1.d/PLAIN.P71");
    EXPECT_EQ(NamesUnder(inputs.path()), expected);
    for (const char* name : {"v1.TMP", "v1.P71"}) {
      EXPECT_EQ(ReadWholeFile(inputs.path() / name), name) << "a user's file was changed";
    }
    EXPECT_EQ(NamesUnder(current.path()), (std::set<std::string>{"KEST.slb", "MSIM.INI"}))
        << "something was left in the current directory";
  }
}

// Notes the owner and mode of the file that the run first writes, at that first write.
class FirstWriteWatch : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  bool Write(FileHandle file, const char* data, std::size_t size) override {
    if (!seen_) seen_ = PlatformWrapper::QueryOpen(file, &first_written_);
    return PlatformWrapper::Write(file, data, size);
  }
  const FileInfo& first_written() const { return first_written_; }

 private:
  bool seen_ = false;
  FileInfo first_written_;
};

// Root converting another user's private file gives it back to that user, as sed -i does,
// and the temporary file is theirs and private before any contents go into it.
TEST_F(RealFileSystem, AnotherUsersFileKeepsItsOwnerGroupAndMode) {
  const Schematic schematic = MakeSchematic({});
  for (bool backups : {false, true}) {
    Write("PRIVATE.SCH", schematic.original);
    fs::remove(scratch.path() / "PRIVATE.P71");
    const std::string input = (scratch.path() / "PRIVATE.SCH").string();
    ASSERT_EQ(chown(input.c_str(), kNobody, kNogroup), 0);
    ASSERT_EQ(chmod(input.c_str(), 0600), 0);
    FirstWriteWatch watch(SystemPlatform());
    sink.calls.clear();
    RunConversionOn(watch, sink, "PRIVATE.SCH", ".\\MSIM.INI", backups, true);
    EXPECT_EQ(sink.errors(), Texts{});
    EXPECT_EQ(Read("PRIVATE.SCH"), schematic.converted);
    struct stat status;
    ASSERT_EQ(stat(input.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kNobody);
    EXPECT_EQ(status.st_gid, kNogroup);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(watch.first_written().owner, kNobody) << "written before it had its owner";
    EXPECT_EQ(watch.first_written().mode, 0600u) << "written before it had its mode";
  }
}

// Each case: a folder with its mode, a root-owned input with its mode, the error a user
// without rights gets.
struct WithoutRights {
  const char* folder;
  fs::perms folder_mode;
  fs::perms file_mode;
  std::string error;
};

TEST_F(RealFileSystem, AUserWithoutRightsGetsAnErrorAndTheFileStays) {
  const std::vector<WithoutRights> cases = {
      {"readonly", fs::perms(0555), fs::perms(0644), kCreateError},
      {"unreadable", fs::perms(0777), fs::perms(0600), kOpenError},
      {"unreplaceable", fs::perms(01777), fs::perms(0644), kReplaceError},
  };
  const Schematic schematic = MakeSchematic({});
  for (const WithoutRights& c : cases) {
    for (bool backups : {false, true}) {
      SCOPED_TRACE(std::string(c.folder) + (backups ? ", backups on" : ", backups off"));
      const fs::path folder = scratch.path() / c.folder;
      fs::create_directories(folder);
      Write(std::string(c.folder) + "/AMP.SCH", schematic.original);
      fs::permissions(folder / "AMP.SCH", c.file_mode);
      fs::permissions(folder, c.folder_mode);
      const std::string input = std::string(c.folder) + "\\AMP.SCH";
      const ChildEnd end = RunAsNobody([&] { return RunAndTell(input, backups); }, kTimeout);
      ASSERT_NE(end.output, "setuid failed");
      EXPECT_EQ(end.output,
                About(c.error, input) + "\nclosing: " + input + "\nFinished with errors!");
      EXPECT_EQ(Read(std::string(c.folder) + "/AMP.SCH"), schematic.original);
      EXPECT_EQ(NamesUnder(folder), (std::set<std::string>{"AMP.SCH"}));
    }
  }
}

// Root's file that anyone may write, in a shared folder: another user may link it as its
// backup but may neither rename over it nor remove the link again. The link stays, and the
// error names it.
TEST_F(RealFileSystem, ABackupAUserCannotRemoveIsNamed) {
  const Schematic schematic = MakeSchematic({});
  const fs::path folder = scratch.path() / "shared";
  fs::create_directories(folder);
  Write("shared/AMP.SCH", schematic.original);
  fs::permissions(folder / "AMP.SCH", fs::perms(0666));
  fs::permissions(folder, fs::perms(01777));
  const std::string input = "shared\\AMP.SCH";
  const ChildEnd end = RunAsNobody([&] { return RunAndTell(input, true); }, kTimeout);
  ASSERT_NE(end.output, "setuid failed");
  EXPECT_EQ(end.output, About(kBackupLeft, "shared\\AMP.P71") + "\nclosing: " + input +
                            "\nFinished with errors!");
  EXPECT_EQ(Read("shared/AMP.SCH"), schematic.original);
  EXPECT_EQ(NamesUnder(folder), (std::set<std::string>{"AMP.P71", "AMP.SCH"}));
}

TEST_F(RealFileSystem, AFifoAFolderAndADeviceAsPartDefaultsNeitherHangNorGetWritten) {
  ASSERT_EQ(mkfifo((scratch.path() / "PIPE.SCH").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((scratch.path() / "PIPE").c_str(), 0644), 0);
  fs::create_directory(scratch.path() / "FOLDER.SCH");
  WriteParts(
      {{"FIFO", "PIPE.SCH"}, {"DOTLESS", "PIPE"}, {"DIR", "FOLDER.SCH"}, {"ZERO", "/dev/zero"}});
  const Schematic top = MakeSchematic({"FIFO", "DOTLESS", "DIR", "ZERO"});
  for (bool backups : {false, true}) {
    Write("TOP.SCH", top.original);
    fs::remove(scratch.path() / "TOP.P71");
    const ChildEnd end = RunInChild([&] { return RunAndTell("TOP.SCH", backups); }, kTimeout);
    ASSERT_FALSE(end.timed_out) << "the run hung";
    EXPECT_EQ(end.output, About(kNotRegular, "PIPE.SCH") + "\n" + About(kNotRegular, "PIPE") +
                              "\n" + About(kNotRegular, "FOLDER.SCH") + "\n" +
                              About(kNotRegular, "/dev/zero") +
                              "\nclosing: TOP.SCH\nPIPE.SCH\nPIPE\nFOLDER.SCH\n/dev/zero\n"
                              "Finished with errors!");
    EXPECT_EQ(Read("TOP.SCH"), top.converted);
    std::set<std::string> expected = {"FOLDER.SCH", "KEST.slb", "MSIM.INI",
                                      "PIPE",       "PIPE.SCH", "TOP.SCH"};
    if (backups) expected.insert("TOP.P71");
    EXPECT_EQ(NamesUnder(scratch.path()), expected);
    EXPECT_TRUE(fs::is_fifo(scratch.path() / "PIPE.SCH"));
    EXPECT_FALSE(fs::exists("/dev/zero.P71"));
  }
}

TEST_F(RealFileSystem, OneFileUnderSeveralSpellingsIsConvertedOnceAndNeverDamaged) {
  fs::create_directory(scratch.path() / "work");
  fs::create_symlink("work/TOP.SCH", scratch.path() / "LINK.SCH");
  const std::string absolute = scratch.PathOf("work/TOP.SCH");
  WriteParts({{"ABS", absolute},
              {"CASE", ".\\WORK\\top.sch"},
              {"LINK", "LINK.SCH"},
              {"MID", "work\\MID.SCH"},
              {"BACK", "work\\..\\work\\TOP.SCH"},
              {"OWNTMP", ".\\work\\top.tmp"}});
  const Schematic top = MakeSchematic({"ABS", "CASE", "LINK", "MID"});
  const Schematic mid = MakeSchematic({"BACK", "OWNTMP"});
  Write("work/TOP.SCH", top.original);
  Write("work/MID.SCH", mid.original);
  Run("work\\TOP.SCH", true);
  // Each other name of the top file closes a cycle, passed over in silence; the own
  // temporary file is no schematic to convert.
  EXPECT_EQ(sink.errors(), (Texts{About(kOwnName, ".\\work\\top.tmp")}));
  EXPECT_EQ(sink.infos(),
            (Texts{"work\\TOP.SCH\nwork\\MID.SCH\n.\\work\\top.tmp\nFinished with errors!"}));
  EXPECT_EQ(Read("work/TOP.SCH"), top.converted);
  EXPECT_EQ(Read("work/TOP.P71"), top.original);
  EXPECT_EQ(Read("work/MID.SCH"), mid.converted);
  EXPECT_EQ(Read("work/MID.P71"), mid.original);
  EXPECT_TRUE(fs::is_symlink(scratch.path() / "LINK.SCH"));
  EXPECT_EQ(NamesUnder(scratch.path() / "work"),
            (std::set<std::string>{"MID.P71", "MID.SCH", "TOP.P71", "TOP.SCH"}));
}

bool SameTimes(const struct stat& a, const struct stat& b) {
  return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// No lookup misses a file that exists when it is made, also where timestamps are coarse: on a
// ramfs another program's file created in the clock tick of the folder's last listing leaves
// the folder's times as they were. Each attempt that does not fall into that tick is retried.
TEST_F(RealFileSystem, ALookupFindsAFileCreatedInTheTickOfTheLastListing) {
  const TmpfsMount ram(scratch.path() / "ram", "", "ramfs");
  if (!ram.mounted()) GTEST_SKIP() << ram.error();
  Platform& files = SystemPlatform();
  char real[kNativePathBytes];
  int attempts = 0;
  for (bool in_one_tick = false; !in_one_tick; ++attempts) {
    if (attempts == 1000) GTEST_SKIP() << "timestamps are fine here: every change shows";
    const fs::path folder = ram.path() / ("s" + std::to_string(attempts));
    fs::create_directory(folder);
    // Names of more than eight letters are looked for in a listing of the folder.
    ASSERT_TRUE(files.RealName((folder / "gone_away.sch").c_str(), real, sizeof real));
    struct stat listed;
    struct stat changed;
    ASSERT_EQ(stat(folder.c_str(), &listed), 0);
    WriteWholeFile(folder / "LATECOMER.SCH", "x");
    ASSERT_EQ(stat(folder.c_str(), &changed), 0);
    in_one_tick = SameTimes(listed, changed);
    ASSERT_TRUE(files.RealName((folder / "latecomer.sch").c_str(), real, sizeof real));
    EXPECT_EQ(std::string(real), (folder / "LATECOMER.SCH").string());
  }
  std::cout << "[ figures  ] ramfs lookups: " << attempts << " attempts to create a file in the "
            << "tick of a listing\n";
}

TEST_F(RealFileSystem, InputsNamedLikeTheirOwnTemporaryOrBackupFileAreLeftAlone) {
  const Schematic schematic = MakeSchematic({});
  for (const std::string name : {"AMP.TMP", "amp.p71", "QUORVA.TMP", "X.tmp"}) {
    for (bool backups : {false, true}) {
      SCOPED_TRACE(name);
      for (const auto& entry : fs::directory_iterator(scratch.path())) fs::remove_all(entry.path());
      WriteParts({});
      Write(name, schematic.original);
      Run(name, backups);
      EXPECT_EQ(sink.errors(), (Texts{About(kOwnName, name)}));
      EXPECT_EQ(Read(name), schematic.original);
      EXPECT_EQ(NamesUnder(scratch.path()), (std::set<std::string>{"KEST.slb", "MSIM.INI", name}));
    }
  }
}

// Two dotless files nest, so both want QUORVA.TMP; a stopped run left both temporary names and
// a backup that is still a second name of its input.
TEST_F(RealFileSystem, TwoDotlessFilesConvertOverTheLeftoversOfAStoppedRun) {
  WriteParts({{"SUB", "SUB"}});
  const Schematic top = MakeSchematic({"SUB"});
  const Schematic sub = MakeSchematic({});
  Write("TOP", top.original);
  Write("SUB", sub.original);
  Write("QUORVA.TMP", "half a temporary file");
  Write("QUORVA.TMP1", sub.converted.substr(0, 10));
  fs::create_hard_link(scratch.path() / "SUB", scratch.path() / "SUB.P71");
  Run("TOP", true);
  EXPECT_TRUE(sink.errors().empty()) << sink.errors().front();
  EXPECT_EQ(Read("TOP"), top.converted);
  EXPECT_EQ(Read("SUB"), sub.converted);
  EXPECT_EQ(Read("TOP.P71"), top.original);
  EXPECT_EQ(Read("SUB.P71"), sub.original);
  EXPECT_EQ(Names(), (Texts{"KEST.slb", "MSIM.INI", "SUB", "SUB.P71", "TOP", "TOP.P71"}));
}

}  // namespace
}  // namespace kestrune::test
