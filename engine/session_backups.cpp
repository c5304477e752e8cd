// The backups of every run of one command line or dialog session.
#include "engine/session_backups.h"

#include <new>

namespace kestrune {

bool SessionBackups::RecordBackup(const FileInfo& backup) {
  try {
    made_.emplace(backup.device, backup.index);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool SessionBackups::MadeThisRun(const FileInfo& file) const {
  return file.kind != FileKind::kMissing && made_.count({file.device, file.index}) != 0;
}

}  // namespace kestrune
