// Checks the POSIX platform layer against real files: exclusive creation, refusals, renames,
// identities.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/platform/platform.h"
#include "engine/platform/run_lock.h"
#include "tests/support/faulty_platform.h"
#include "tests/support/platform_fixture.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

enum class OpenOutcome { kRefused, kOpened, kBlocked };

// Opens path in a child process that an alarm ends after a few seconds, so that a call
// that blocks fails the test instead of hanging it.
OpenOutcome OpenForReadInChild(const std::string& path) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(5);
    _exit(SystemPlatform().OpenForRead(path.c_str()) == kNoFile ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return OpenOutcome::kBlocked;
  if (!WIFEXITED(status)) return OpenOutcome::kBlocked;
  return WEXITSTATUS(status) == 0 ? OpenOutcome::kRefused : OpenOutcome::kOpened;
}

// Classic POSIX record locks on the run's byte, held by this test process, as Wine's server
// holds the byte-range locks of Windows programs. Its descriptor may write the file.
class ClassicLocks {
 public:
  explicit ClassicLocks(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CLOEXEC)) {}
  ~ClassicLocks() { close(fd_); }
  ClassicLocks(const ClassicLocks&) = delete;
  ClassicLocks& operator=(const ClassicLocks&) = delete;

  bool Take(short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(kRunLockOffset);
    range.l_len = 1;
    return fcntl(fd_, F_SETLK, &range) == 0;
  }
  void Release() { Take(F_UNLCK); }

 private:
  int fd_;
};

// Another process that opens path for reading, as a conversion opens its input, and locks it
// through the platform, holding the lock while this object lives. One that may not write
// the file runs as nobody where the test is root (the file is already open then).
class LockedInChild {
 public:
  LockedInChild(const std::string& path, bool may_write) {
    if (pipe(outcome_) != 0 || pipe(release_) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      close(release_[1]);
      const FileHandle file = SystemPlatform().OpenForRead(path.c_str());
      const bool dropped = may_write || geteuid() != 0 ||
                           (setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
                            setresuid(65534, 65534, 65534) == 0);
      const char outcome =
          file == kNoFile || !dropped
              ? 'x'
              : static_cast<char>('0' + static_cast<int>(SystemPlatform().TryLock(file)));
      char released;
      if (write(outcome_[1], &outcome, 1) != 1 || read(release_[0], &released, 1) < 0) _exit(1);
      _exit(0);
    }
    close(outcome_[1]);
    close(release_[0]);
    char outcome = 'x';
    if (child_ > 0 && read(outcome_[0], &outcome, 1) == 1 && outcome != 'x') {
      outcome_known_ = true;
      outcome_value_ = static_cast<LockOutcome>(outcome - '0');
    }
  }
  ~LockedInChild() {
    close(release_[1]);
    close(outcome_[0]);
    if (child_ > 0) waitpid(child_, nullptr, 0);
  }
  LockedInChild(const LockedInChild&) = delete;
  LockedInChild& operator=(const LockedInChild&) = delete;

  bool Locked() const { return outcome_known_ && outcome_value_ == LockOutcome::kLocked; }
  bool HeldElsewhere() const {
    return outcome_known_ && outcome_value_ == LockOutcome::kHeldElsewhere;
  }

 private:
  int outcome_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t child_ = -1;
  bool outcome_known_ = false;
  LockOutcome outcome_value_ = LockOutcome::kFailed;
};

class PosixPlatformTest : public test::PlatformFixture {};

// Wine keeps a Windows program's LockFileEx as a classic record lock of its server: a write
// lock where the program's handle may write, else a read lock. A run and such a lock keep
// each other out; only a run on a file it may not write leaves a reader's lock in.
TEST_F(PosixPlatformTest, TryLockAndTheRecordLocksOfWindowsProgramsExcludeEachOther) {
  for (const bool may_write : {true, false}) {
    SCOPED_TRACE(may_write ? "a file the run may write" : "a file the run may only read");
    const std::string path = PathOf(may_write ? "Writable.Sch" : "ReadOnly.Sch");
    WriteFile(may_write ? "Writable.Sch" : "ReadOnly.Sch", "x");
    ClassicLocks windows_program(path);
    if (!may_write && geteuid() != 0) {
      ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    }
    for (const short held : {short{F_RDLCK}, short{F_WRLCK}}) {
      ASSERT_TRUE(windows_program.Take(held));
      EXPECT_TRUE(LockedInChild(path, may_write).HeldElsewhere()) << "lock type " << held;
      windows_program.Release();
    }
    const LockedInChild run(path, may_write);
    ASSERT_TRUE(run.Locked());
    EXPECT_FALSE(windows_program.Take(F_WRLCK));
    EXPECT_EQ(windows_program.Take(F_RDLCK), !may_write);
    windows_program.Release();
  }
}

// Locking may give the handle another open of the file: the file and the reading go on as
// they were.
TEST_F(PosixPlatformTest, TryLockChangesNothingInTheFileNorWhereItIsRead) {
  WriteFile("Amp.Sch", "contents");
  const FileInfo before = QueryOf("Amp.Sch");
  const FileHandle in = files_.OpenForRead(PathOf("Amp.Sch").c_str());
  ASSERT_NE(in, kNoFile);
  char first[3];
  ASSERT_EQ(files_.Read(in, first, sizeof first), 3);
  ASSERT_EQ(files_.TryLock(in), LockOutcome::kLocked);
  EXPECT_EQ(ReadAll(in), "tents");
  EXPECT_TRUE(files_.Close(in));
  EXPECT_TRUE(Unchanged(before, QueryOf("Amp.Sch")));
  EXPECT_EQ(ReadFile("Amp.Sch"), "contents");
}

TEST_F(PosixPlatformTest, CreateNewDoesNotFollowALinkThatPointsNowhere) {
  fs::create_symlink(PathOf("target"), PathOf("link"));
  EXPECT_EQ(files_.CreateNew(PathOf("link").c_str()), kNoFile);
  EXPECT_FALSE(fs::exists(PathOf("target")));
}

// Until it is given its input's mode, no other user may open a new file, whatever the umask.
TEST_F(PosixPlatformTest, CreateNewMakesAFileOnlyItsOwnerMayOpen) {
  for (const mode_t mask : {0, 027, 077}) {
    const std::string name = "masked" + std::to_string(mask);
    const mode_t old_mask = umask(mask);
    const FileHandle out = files_.CreateNew(PathOf(name).c_str());
    umask(old_mask);
    ASSERT_NE(out, kNoFile);
    FileInfo info;
    EXPECT_TRUE(files_.QueryOpen(out, &info));
    EXPECT_EQ(info.mode, 0600u) << "umask " << mask;
    EXPECT_TRUE(files_.Close(out));
  }
}

TEST_F(PosixPlatformTest, OpenForReadRefusesWhatIsNotARegularFileWithoutBlocking) {
  fs::create_directory(PathOf("Folder"));
  ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0600), 0);
  EXPECT_EQ(OpenForReadInChild(PathOf("Folder")), OpenOutcome::kRefused);
  EXPECT_EQ(OpenForReadInChild(PathOf("pipe")), OpenOutcome::kRefused);
  EXPECT_EQ(OpenForReadInChild("/dev/zero"), OpenOutcome::kRefused);
  EXPECT_EQ(files_.OpenForRead(PathOf("missing").c_str()), kNoFile);
}

TEST_F(PosixPlatformTest, RemoveReportsWhetherTheNameIsGone) {
  WriteFile("Amp.P71", "backup");
  EXPECT_TRUE(files_.Remove(PathOf("Amp.P71").c_str()));
  EXPECT_FALSE(fs::exists(PathOf("Amp.P71")));
  EXPECT_TRUE(files_.Remove(PathOf("Amp.P71").c_str()));
  EXPECT_TRUE(files_.Remove(PathOf("no-folder\\Amp.P71").c_str()));
  fs::create_directory(PathOf("Folder"));
  EXPECT_FALSE(files_.Remove(PathOf("Folder").c_str()));
}

TEST_F(PosixPlatformTest, RenameReplacingSwapsTheFileUnderTheName) {
  WriteFile("Amp.Sch", "old");
  WriteFile("Amp.Tmp", "new");
  const FileInfo new_file = QueryOf("Amp.Tmp");
  const FileHandle reader = files_.OpenForRead(PathOf("Amp.Sch").c_str());
  ASSERT_NE(reader, kNoFile);

  EXPECT_TRUE(files_.RenameReplacing(PathOf("Amp.Tmp").c_str(), PathOf("Amp.Sch").c_str()));
  EXPECT_EQ(ReadFile("Amp.Sch"), "new");
  EXPECT_FALSE(fs::exists(PathOf("Amp.Tmp")));
  EXPECT_TRUE(SameFile(QueryOf("Amp.Sch"), new_file));
  // The name was moved over, not written over: a reader of the old file still sees it whole.
  EXPECT_EQ(ReadAll(reader), "old");
  EXPECT_TRUE(files_.Close(reader));
}

TEST_F(PosixPlatformTest, RenameReplacingFailsWithoutASourceAndKeepsTheTarget) {
  WriteFile("Amp.Sch", "old");
  EXPECT_FALSE(files_.RenameReplacing(PathOf("Amp.Tmp").c_str(), PathOf("Amp.Sch").c_str()));
  EXPECT_EQ(ReadFile("Amp.Sch"), "old");
}

TEST_F(PosixPlatformTest, LinkGivesASecondNameButNeverReplacesOne) {
  WriteFile("Amp.Sch", "original");
  WriteFile("Amp.P71", "earlier backup");
  EXPECT_FALSE(files_.Link(PathOf("Amp.Sch").c_str(), PathOf("Amp.P71").c_str()));
  EXPECT_EQ(ReadFile("Amp.P71"), "earlier backup");

  EXPECT_TRUE(files_.Link(PathOf("Amp.Sch").c_str(), PathOf("Copy.Sch").c_str()));
  EXPECT_TRUE(SameFile(QueryOf("Amp.Sch"), QueryOf("Copy.Sch")));
  EXPECT_FALSE(files_.Link(PathOf("Missing.Sch").c_str(), PathOf("Other.Sch").c_str()));
}

TEST_F(PosixPlatformTest, LinkNamesASymbolicLinkItselfNotItsTarget) {
  WriteFile("Amp.Sch", "x");
  fs::create_symlink(PathOf("Amp.Sch"), PathOf("Shortcut"));
  EXPECT_TRUE(files_.Link(PathOf("Shortcut").c_str(), PathOf("Second").c_str()));
  EXPECT_TRUE(fs::is_symlink(PathOf("Second").c_str()));
}

TEST_F(PosixPlatformTest, QueryFollowsSymbolicLinksAndSaysWhereOneWas) {
  WriteFile("Amp.Sch", "x");
  fs::create_directory(PathOf("Folder"));
  fs::create_symlink(PathOf("Amp.Sch"), PathOf("Shortcut"));
  fs::create_symlink(PathOf("Gone"), PathOf("Dangling"));

  const FileInfo file = QueryOf("Amp.Sch");
  EXPECT_EQ(file.kind, FileKind::kRegular);
  EXPECT_FALSE(file.is_link);
  const FileInfo link = QueryOf("Shortcut");
  EXPECT_EQ(link.kind, FileKind::kRegular);
  EXPECT_TRUE(link.is_link);
  EXPECT_TRUE(SameFile(file, link));
  EXPECT_EQ(QueryOf("Folder").kind, FileKind::kDirectory);

  const FileInfo dangling = QueryOf("Dangling");
  EXPECT_EQ(dangling.kind, FileKind::kMissing);
  EXPECT_TRUE(dangling.is_link);
  EXPECT_EQ(QueryOf("Missing").kind, FileKind::kMissing);
  EXPECT_EQ(QueryOf("Amp.Sch\\Below").kind, FileKind::kMissing);
}

// Nanoseconds; the later of the two times counts.
TEST_F(PosixPlatformTest, TimesSettleATimestampTickAfterTheLaterOfTheFilesTimes) {
  WriteFile("Lib.slb", "x");
  const FileInfo now = QueryOf("Lib.slb");
  EXPECT_FALSE(files_.TimesSettled(now));
  constexpr std::uint64_t kSecond = 1000000000;
  FileInfo earlier = now;
  earlier.modified -= 3 * kSecond;
  EXPECT_FALSE(files_.TimesSettled(earlier)) << "changed just now";
  earlier.changed -= 3 * kSecond;
  EXPECT_TRUE(files_.TimesSettled(earlier));
  earlier.changed = now.changed - kSecond;
  EXPECT_FALSE(files_.TimesSettled(earlier)) << "within the tick";
}

TEST_F(PosixPlatformTest, QueryFailsWhenTheQuestionCannotBeAnswered) {
  fs::create_symlink(PathOf("Loop"), PathOf("Loop"));
  FileInfo info;
  EXPECT_FALSE(files_.Query(PathOf("Loop").c_str(), &info));
  const std::string too_long = PathOf(std::string(5000, 'a'));
  EXPECT_FALSE(files_.Query(too_long.c_str(), &info));
}

TEST_F(PosixPlatformTest, SameFileSeesOneFileUnderTwoNames) {
  fs::create_directory(PathOf("Work"));
  WriteFile("Work/Amp.Sch", "x");
  WriteFile("Work/Other.Sch", "x");
  fs::create_hard_link(PathOf("Work/Amp.Sch"), PathOf("Hard.Sch"));
  const FileInfo original = QueryOf("Work/Amp.Sch");
  EXPECT_TRUE(SameFile(original, QueryOf("Hard.Sch")));
  EXPECT_TRUE(SameFile(original, QueryOf("Work\\Amp.Sch")));
  EXPECT_FALSE(SameFile(original, QueryOf("Work/Other.Sch")));
  ExpectOpensAs(PathOf("Work\\Amp.Sch").c_str(), original);
}

// Only RealName looks for another letter case; every other call takes a name as spelled, so
// that a name in another case is another file, as the file system has it.
TEST_F(PosixPlatformTest, NamesAreTakenAsSpelledAndRealNameFindsTheirLetterCase) {
  fs::create_directory(PathOf("Work"));
  WriteFile("Work/Amp.Sch", "old");
  char real[4096];
  ASSERT_TRUE(files_.RealName(PathOf("WORK\\amp.SCH").c_str(), real, sizeof real));
  EXPECT_EQ(std::string(real), PathOf("Work\\Amp.Sch"));
  ASSERT_TRUE(files_.RealName(PathOf("work\\NEW.TMP").c_str(), real, sizeof real));
  EXPECT_EQ(std::string(real), PathOf("Work\\NEW.TMP")) << "a missing name comes back as spelled";

  EXPECT_EQ(QueryOf("Work/amp.sch").kind, FileKind::kMissing);
  EXPECT_EQ(files_.OpenForRead(PathOf("Work/AMP.SCH").c_str()), kNoFile);
  const FileHandle created = files_.CreateNew(PathOf("Work/AMP.SCH").c_str());
  ASSERT_NE(created, kNoFile) << "a name in another case is a new file";
  EXPECT_TRUE(files_.Close(created));
  EXPECT_FALSE(SameFile(QueryOf("Work/AMP.SCH"), QueryOf("Work/Amp.Sch")));
  EXPECT_TRUE(files_.Remove(PathOf("Work/amp.sch").c_str()));
  EXPECT_TRUE(files_.Link(PathOf("Work/Amp.Sch").c_str(), PathOf("Work/amp.p71").c_str()));
  WriteFile("Work/Amp.Tmp", "new");
  EXPECT_TRUE(
      files_.RenameReplacing(PathOf("Work/Amp.Tmp").c_str(), PathOf("Work/AMP.SCH").c_str()));
  EXPECT_EQ(ReadFile("Work/Amp.Sch"), "old");
  EXPECT_EQ(ReadFile("Work/AMP.SCH"), "new");
  EXPECT_EQ(ReadFile("Work/amp.p71"), "old");
}

// A listed folder is not listed again while unchanged; the names this process adds must be
// found under any spelling all the same.
TEST_F(PosixPlatformTest, ANameThePlatformAddedIsFoundUnderAnotherSpelling) {
  Platform& files = SystemPlatform();
  WriteFile("old.sch", "x");
  char real[4096];
  ASSERT_TRUE(files.RealName(PathOf("OLD.TMP").c_str(), real, sizeof real));  // lists the folder
  const FileHandle created = files.CreateNew(PathOf("New.Tmp").c_str());
  ASSERT_NE(created, kNoFile);
  files.Close(created);
  ASSERT_TRUE(files.Link(PathOf("old.sch").c_str(), PathOf("Linked.P71").c_str()));
  ASSERT_TRUE(files.RenameReplacing(PathOf("New.Tmp").c_str(), PathOf("Renamed.Sch").c_str()));
  for (const auto& [spelling, found] :
       {std::pair{"LINKED.P71", "Linked.P71"}, std::pair{"renamed.sch", "Renamed.Sch"}}) {
    ASSERT_TRUE(files.RealName(PathOf(spelling).c_str(), real, sizeof real));
    EXPECT_EQ(std::string(real), PathOf(found));
  }
}

TEST_F(PosixPlatformTest, SetModeGivesExactlyThePermissionBits) {
  const FileHandle out = files_.CreateNew(PathOf("New.Tmp").c_str());
  ASSERT_NE(out, kNoFile);
  for (const unsigned mode : {0600u, 0754u, 02640u}) {
    EXPECT_TRUE(files_.SetMode(out, mode));
    FileInfo info;
    EXPECT_TRUE(files_.QueryOpen(out, &info));
    EXPECT_EQ(info.mode, mode);
    EXPECT_EQ(QueryOf("New.Tmp").mode, mode);
  }
  EXPECT_TRUE(files_.Close(out));
  EXPECT_FALSE(files_.Close(out));
}

TEST_F(PosixPlatformTest, RealNameFindsTheFinalTargetOfALink) {
  fs::create_directory(PathOf("Work"));
  WriteFile("Work/Amp.Sch", "x");
  fs::create_symlink(PathOf("Work/Amp.Sch"), PathOf("First"));
  fs::create_symlink("First", PathOf("Second"));
  const std::string target = fs::canonical(PathOf("Work/Amp.Sch")).string();

  std::vector<char> out(target.size() + 1);
  ASSERT_TRUE(files_.RealName(PathOf("second").c_str(), out.data(), out.size()));
  EXPECT_EQ(std::string(out.data()), target);
  EXPECT_FALSE(files_.RealName(PathOf("Second").c_str(), out.data(), target.size()));
  fs::create_symlink(PathOf("Gone"), PathOf("Dangling"));
  EXPECT_FALSE(files_.RealName(PathOf("Dangling").c_str(), out.data(), out.size()));
}

// The platform reads INI files through its own file calls, and a wrapping platform's reads
// go through the wrapper, where failures can be injected.
TEST_F(PosixPlatformTest, IniReadsGoThroughThePlatformsOwnFileCalls) {
  WriteFile("MSIM.INI", "[MICROSIM]\r\nLIBPATH=C:\\MSIM\\LIB\r\n");
  char value[200];
  files_.ReadIniString("MICROSIM", "LIBPATH", "none", value, sizeof value,
                       PathOf("msim.ini").c_str());
  EXPECT_STREQ(value, "C:\\MSIM\\LIB");

  test::FaultyPlatform watching(files_);
  watching.ReadIniString("MICROSIM", "LIBPATH", "none", value, sizeof value,
                         PathOf("msim.ini").c_str());
  EXPECT_STREQ(value, "C:\\MSIM\\LIB");
  ASSERT_GE(watching.log().size(), 2u);
  EXPECT_EQ(watching.log()[0], test::Call::kRealName);
  EXPECT_EQ(watching.log()[1], test::Call::kOpenForRead);
  watching.FailEvery(test::Call::kRead);
  watching.ReadIniString("MICROSIM", "LIBPATH", "none", value, sizeof value,
                         PathOf("msim.ini").c_str());
  EXPECT_STREQ(value, "none");
}

}  // namespace
}  // namespace kestrune
