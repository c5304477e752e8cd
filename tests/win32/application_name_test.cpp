// The application name that the settings live under: the executable's file name without its
// extension.
#include <gtest/gtest.h>

#include "app/win32/application_name.h"

namespace kestrune {
namespace {

TEST(ApplicationName, IsTheFileNameWithoutItsLastExtension) {
  EXPECT_EQ(ApplicationNameOf("C:\\Program Files\\KESTRUNE\\KESTRUNE.EXE"), "KESTRUNE");
  EXPECT_EQ(ApplicationNameOf("KESTRUNE.EXE"), "KESTRUNE");
  EXPECT_EQ(ApplicationNameOf("D:\\tools.old\\convert"), "convert");
  EXPECT_EQ(ApplicationNameOf("\\\\server\\share\\kestrune.v2.exe"), "kestrune.v2");
  EXPECT_EQ(ApplicationNameOf("Z:/work/build/Renamed.exe"), "Renamed");
  EXPECT_EQ(ApplicationNameOf("C:KESTRUNE.EXE"), "KESTRUNE");
}

TEST(ApplicationName, OfTheRunningProgramComesFromItsModuleFile) {
  EXPECT_EQ(RunningApplicationName(), "win32_unit_tests");
}

}  // namespace
}  // namespace kestrune
