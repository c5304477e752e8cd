// The application name that the settings live under: the executable's file name without its
// extension.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/win32/application_name.h"

namespace kestrune {
namespace {

TEST(ApplicationName, IsTheFileNameWithoutItsLastExtension) {
  EXPECT_EQ(ApplicationNameOf("C:\\Program Files\\KESTRUNE\\KESTRUNE.EXE"), "KESTRUNE");
  EXPECT_EQ(ApplicationNameOf("KESTRUNE.EXE"), "KESTRUNE");
  EXPECT_EQ(ApplicationNameOf("D:\\tools.old\\convert"), "convert");
  EXPECT_EQ(ApplicationNameOf("\\\\server\\share\\kestrune.v2.exe"), "kestrune.v2");
  EXPECT_EQ(ApplicationNameOf("Z:/data/build/Renamed.exe"), "Renamed");
  EXPECT_EQ(ApplicationNameOf("C:KESTRUNE.EXE"), "KESTRUNE");
}

// Wine starts no program from a path longer than MAX_PATH, so a reader that behaves as
// GetModuleFileNameA does stands in for such a program's module.
TEST(ApplicationName, ComesFromTheWholeModulePathHoweverLong) {
  for (const std::size_t folder_length :
       {std::size_t{0}, std::size_t{244}, std::size_t{245}, std::size_t{300}, std::size_t{32000}}) {
    const std::string path = "Z:\\" + std::string(folder_length, 'f') + "\\KESTRUNE.EXE";
    const auto read = [&path](char* buffer, unsigned long size) -> unsigned long {
      const std::size_t written = std::min<std::size_t>(path.size(), size - 1);
      path.copy(buffer, written);
      buffer[written] = '\0';
      return written < path.size() ? size : static_cast<unsigned long>(written);
    };
    EXPECT_EQ(WholeModulePath(read), path) << folder_length;
    EXPECT_EQ(ApplicationNameOf(WholeModulePath(read)), "KESTRUNE") << folder_length;
  }
  EXPECT_EQ(WholeModulePath([](char*, unsigned long) { return 0ul; }), "");
}

TEST(ApplicationName, OfTheRunningProgramComesFromItsModuleFile) {
  EXPECT_EQ(RunningApplicationName(), "win32_unit_tests");
}

}  // namespace
}  // namespace kestrune
