// Puts a finished temporary file in the place of its input without ever leaving the name empty.
#pragma once

#include "engine/open_files.h"
#include "engine/platform/platform.h"
#include "engine/run_state.h"

namespace kestrune {

// The names of one swap and what the run knows of its input.
struct SwapNames {
  const char* target;
  const char* temporary;
  const char* backup;
  FileInfo input;              // the target's file as the conversion opened it
  FileInfo temporary_written;  // the file the conversion wrote
};

enum class SwapOutcome {
  kSwapped,
  kFailed,
  kBackupNameUsed,
  kTemporaryTaken,
  kInputChanged,
  // As kFailed and kTemporaryTaken, but the backup this swap made could not be removed.
  kFailedBackupLeft,
  kTemporaryTakenBackupLeft
};

// Whether the temporary name holds another file than the one the conversion wrote.
inline bool TemporaryTaken(SwapOutcome outcome) {
  return outcome == SwapOutcome::kTemporaryTaken ||
         outcome == SwapOutcome::kTemporaryTakenBackupLeft;
}

// Whether the backup this swap made stays beside the unchanged input.
inline bool BackupLeft(SwapOutcome outcome) {
  return outcome == SwapOutcome::kFailedBackupLeft ||
         outcome == SwapOutcome::kTemporaryTakenBackupLeft;
}

// Gives target the contents of temporary. With keep_backup the previous contents stay
// under backup (an older backup goes) and the new backup is recorded in made (where it
// cannot be, the swap fails); without it
// any file named backup goes. At every instant target holds its old or its new contents,
// and backup nothing or all of the old ones (a backup that cannot be a hard link is copied
// under a temporary name first). Unless swapped, target keeps its old contents, no new
// backup is left (where it cannot be removed, the outcome says so) and temporary is not
// touched. An input that another program changed since it was opened is not replaced
// (kInputChanged). A backup name that a conversion in progress holds open is never removed,
// nor one that made holds (kBackupNameUsed). Only the file the conversion wrote is
// renamed: when the temporary name holds another one, nothing is renamed (kTemporaryTaken).
SwapOutcome SwapIntoPlace(Platform& files, const OpenFiles& open, RunBackups& made,
                          const SwapNames& names, bool keep_backup);

}  // namespace kestrune
