// The files that a run's conversions in progress hold open.
#include "engine/open_files.h"

namespace kestrune {

ConversionLevel& OpenFiles::EnterLevel() {
  ConversionLevel& level = levels_[levels_in_use_++];
  if (levels_in_use_ == 1) level.writer.UseBuffer(outer_write_buffer_, kOuterWriteBytes);
  level.input = FileInfo{};
  level.temporary = FileInfo{};
  return level;
}

void OpenFiles::LeaveLevel() { --levels_in_use_; }

bool OpenFiles::HeldOpen(const FileInfo& file) const {
  for (int i = 0; i < levels_in_use_; ++i) {
    if (SameFile(levels_[i].input, file) || SameFile(levels_[i].temporary, file)) return true;
  }
  return false;
}

// Every level, not only those in use: the count of levels may be changing at this moment.
void OpenFiles::RemoveTemporariesNow(Platform& files) {
  for (ConversionLevel& level : levels_) level.temporary_name.RemoveNow(files);
}

}  // namespace kestrune
