// Completing a picked file name with the picker's default extension.
#include "app/common/default_extension.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(DefaultExtension, IsAddedOnlyToAFileNameWithoutOne) {
  struct Case {
    const char* picked;
    const char* extension;
    const char* completed;
  };
  for (const Case& pick :
       {Case{"/data/AMP", "SCH", "/data/AMP.SCH"},
        Case{"C:\\WORK\\MSIM", "INI", "C:\\WORK\\MSIM.INI"}, Case{"AMP", "SCH", "AMP.SCH"},
        Case{"/work.v2/AMP", "SCH", "/work.v2/AMP.SCH"},
        Case{"C:\\WORK.OLD\\AMP", "SCH", "C:\\WORK.OLD\\AMP.SCH"},
        Case{"/data/Amp.sch", "SCH", "/data/Amp.sch"},
        Case{"/data/AMP.TXT", "SCH", "/data/AMP.TXT"}, Case{"/data/AMP.", "SCH", "/data/AMP."}}) {
    EXPECT_EQ(WithDefaultExtension(pick.picked, pick.extension), pick.completed) << pick.picked;
  }
}

}  // namespace
}  // namespace kestrune
