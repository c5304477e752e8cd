// What every platform layer promises, checked on the system's own against real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A failed call keeps the system's own words for its failure until they are taken, once; a
// call that succeeds meanwhile leaves them, and finding no file is no failure.
TEST_F(PlatformContract, AFailedCallKeepsTheSystemsReasonUntilTaken) {
  WriteFile("Amp.Sch", "old contents");
  files_.TakeFailureReason(nullptr, 0);  // what earlier tests left
  char reason[kReasonBytes];
  EXPECT_FALSE(files_.TakeFailureReason(reason, sizeof reason));
  EXPECT_STREQ(reason, "");
  FileInfo info;
  ASSERT_TRUE(files_.Query(PathOf("Gone.Sch").c_str(), &info));
  EXPECT_FALSE(files_.TakeFailureReason(reason, sizeof reason)) << reason;

  std::vector<std::string> reasons;
  for (const std::string& name : {std::string("Gone.Sch"), std::string("Amp.Sch")}) {
    SCOPED_TRACE(name);
    // Opening a missing file, creating one that exists.
    const FileHandle file = name == "Gone.Sch" ? files_.OpenForRead(PathOf(name).c_str())
                                               : files_.CreateNew(PathOf(name).c_str());
    ASSERT_EQ(file, kNoFile);
    const FileHandle other = files_.OpenForRead(PathOf("Amp.Sch").c_str());
    ASSERT_NE(other, kNoFile);
    EXPECT_TRUE(files_.Close(other));
    ASSERT_TRUE(files_.TakeFailureReason(reason, sizeof reason));
    reasons.push_back(reason);
    EXPECT_FALSE(files_.TakeFailureReason(reason, sizeof reason));
  }
#ifdef _WIN32
  for (const std::string& text : reasons) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
  }
  EXPECT_NE(reasons[0], reasons[1]);
#else
  EXPECT_EQ(reasons, (std::vector<std::string>{"No such file or directory", "File exists"}));
#endif
}

}  // namespace
}  // namespace kestrune::test
