// What every platform layer promises, checked on the system's own against real files.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/platform_fixture.h"

namespace kestrune::test {
namespace {

class PlatformContract : public PlatformFixture {};

TEST_F(PlatformContract, CreatedFileHoldsExactlyWhatWasWritten) {
  const FileHandle out = files_.CreateNew(PathOf("New.Tmp").c_str());
  ASSERT_NE(out, kNoFile);
  EXPECT_TRUE(files_.Write(out, kAwkwardBytes.data(), kAwkwardBytes.size()));
  EXPECT_TRUE(files_.Sync(out));
  EXPECT_TRUE(files_.Close(out));
  EXPECT_EQ(ReadFile("New.Tmp"), kAwkwardBytes);

  const FileHandle in = files_.OpenForRead(PathOf("New.Tmp").c_str());
  ASSERT_NE(in, kNoFile);
  EXPECT_EQ(ReadAll(in), kAwkwardBytes);
  EXPECT_TRUE(files_.Close(in));
}

TEST_F(PlatformContract, CreateNewRefusesAnExistingNameAndLeavesItUntouched) {
  WriteFile("Amp.Sch", "old contents");
  EXPECT_EQ(files_.CreateNew(PathOf("Amp.Sch").c_str()), kNoFile);
#ifdef _WIN32
  // Spelled in another letter case it is still the same, existing file; on POSIX that is
  // another name (PosixPlatformTest.NamesAreTakenAsSpelled...).
  EXPECT_EQ(files_.CreateNew(PathOf("AMP.SCH").c_str()), kNoFile);
#endif
  EXPECT_EQ(ReadFile("Amp.Sch"), "old contents");
}

// What a signal handler or another thread does while the file is still being written: the
// file goes, whatever its mode, and the writer goes on unharmed.
TEST_F(PlatformContract, RemoveNowRemovesAFileStillBeingWritten) {
  for (const unsigned mode : {0600u, 0444u}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    const std::string path = PathOf("Held.Tmp");
    const FileHandle out = files_.CreateNew(path.c_str());
    ASSERT_NE(out, kNoFile);
    ASSERT_TRUE(files_.SetMode(out, mode));
    RemovalTicket ticket;
    ASSERT_TRUE(files_.PrepareRemoval(out, path.c_str(), &ticket));
    files_.RemoveNow(ticket);
    EXPECT_TRUE(files_.Write(out, "more", 4));
    EXPECT_TRUE(files_.Close(out));
    EXPECT_FALSE(Exists("Held.Tmp"));
  }
}

}  // namespace
}  // namespace kestrune::test
