// Temporary and backup names derived from a schematic's path.
#include "engine/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune {
namespace {

std::string Temporary(const char* path) {
  char out[kPathBytes];
  return TemporaryName(path, out) ? out : "<too long>";
}

std::string Backup(const char* path) {
  char out[kPathBytes];
  return BackupName(path, out) ? out : "<too long>";
}

TEST(FileNames, ReplaceTheExtensionAfterTheLastDot) {
  EXPECT_EQ(Temporary("C:\\WORK\\AMP.SCH"), "C:\\WORK\\AMP.TMP");
  EXPECT_EQ(Backup("C:\\WORK\\AMP.SCH"), "C:\\WORK\\AMP.P71");
  EXPECT_EQ(Temporary("amp.sch.old"), "amp.sch.TMP");
  EXPECT_EQ(Temporary("AMP."), "AMP.TMP");
}

// A dot in a folder's name is never the file's: the names stay beside the file.
TEST(FileNames, OnlyTheFileNameIsLookedAtAndTheFallbackStaysInItsFolder) {
  struct Case {
    const char* path;
    const char* temporary;
    const char* backup;
  };
  for (const Case& c :
       {Case{".SCH", "QUORVA.TMP", ".SCH.P71"}, Case{"AMP", "QUORVA.TMP", "AMP.P71"},
        Case{"C:\\V1.0\\AMP", "C:\\V1.0\\QUORVA.TMP", "C:\\V1.0\\AMP.P71"},
        Case{"proj/v1.d/FOO", "proj/v1.d/QUORVA.TMP", "proj/v1.d/FOO.P71"},
        Case{"v1.d\\.SCH", "v1.d\\QUORVA.TMP", "v1.d\\.SCH.P71"},
        Case{"C:AMP", "C:QUORVA.TMP", "C:AMP.P71"},
        Case{"/x.y/AMP.SCH", "/x.y/AMP.TMP", "/x.y/AMP.P71"}}) {
    EXPECT_EQ(Temporary(c.path), c.temporary) << c.path;
    EXPECT_EQ(Backup(c.path), c.backup) << c.path;
  }
}

TEST(FileNames, AlternativesAppendADigit) {
  char out[kPathBytes];
  ASSERT_TRUE(AlternativeTemporaryName("QUORVA.TMP", 3, out));
  EXPECT_STREQ(out, "QUORVA.TMP3");
}

}  // namespace
}  // namespace kestrune
