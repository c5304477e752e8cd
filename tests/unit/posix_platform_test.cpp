// Checks the POSIX platform layer against real files: exclusive creation, refusals, renames,
// identities.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/platform/platform.h"
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

class PosixPlatformTest : public test::PlatformFixture {};

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
