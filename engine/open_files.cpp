// The files that the conversions in progress hold open.
#include "engine/open_files.h"

#include "engine/run_state.h"

namespace kestrune {
namespace {

ConversionLevel levels[kVisitedRows];
int levels_in_use = 0;

// The outermost level converts the files a user names, which may be of any size; it writes
// in larger pieces, since each write call into the file system costs far more than its
// bytes. Nested levels keep the small buffers of their own, so the memory of a deep
// nesting stays bounded.
constexpr std::size_t kOuterWriteBytes = 1024 * 1024;
char outer_write_buffer[kOuterWriteBytes];

}  // namespace

ConversionLevel& EnterLevel() {
  ConversionLevel& level = levels[levels_in_use++];
  if (levels_in_use == 1) level.writer.UseBuffer(outer_write_buffer, kOuterWriteBytes);
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
