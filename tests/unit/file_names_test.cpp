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

TEST(FileNames, ADotInAFolderCountsWhenTheFileHasNone) {
  EXPECT_EQ(Temporary("C:\\V1.0\\AMP"), "C:\\V1.TMP");
  EXPECT_EQ(Backup("C:\\V1.0\\AMP"), "C:\\V1.P71");
}

TEST(FileNames, WithoutAUsableDotTheFallbacksApply) {
  EXPECT_EQ(Temporary(".SCH"), "QUORVA.TMP");
  EXPECT_EQ(Temporary("AMP"), "QUORVA.TMP");
  EXPECT_EQ(Backup(".SCH"), ".SCH.P71");
  EXPECT_EQ(Backup("AMP"), "AMP.P71");
}

TEST(FileNames, AlternativesAppendADigit) {
  char out[kPathBytes];
  ASSERT_TRUE(AlternativeTemporaryName("QUORVA.TMP", 3, out));
  EXPECT_STREQ(out, "QUORVA.TMP3");
}

}  // namespace
}  // namespace kestrune
