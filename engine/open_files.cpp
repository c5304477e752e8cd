// The files that the conversions in progress hold open.
#include "engine/open_files.h"

#include "engine/run_state.h"

namespace kestrune {
namespace {

ConversionLevel levels[kVisitedRows];
int levels_in_use = 0;

}  // namespace

ConversionLevel& EnterLevel() {
  ConversionLevel& level = levels[levels_in_use++];
  level.input = FileInfo{};
  level.temporary = FileInfo{};
  return level;
}

void LeaveLevel() { --levels_in_use; }

bool HeldOpen(const FileInfo& file) {
  for (int i = 0; i < levels_in_use; ++i) {
    if (SameFile(levels[i].input, file) || SameFile(levels[i].temporary, file)) return true;
  }
  return false;
}

}  // namespace kestrune
