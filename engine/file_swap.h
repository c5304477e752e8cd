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

enum class SwapOutcome { kSwapped, kFailed, kBackupNameUsed, kTemporaryTaken, kInputChanged };

// Gives target the contents of temporary. With keep_backup the previous contents stay
// under backup (an older backup goes) and the new backup is recorded in made; without it
// any file named backup goes. At every instant target holds its old or its new contents,
// and backup nothing or all of the old ones (a backup that cannot be a hard link is copied
// under a temporary name first). Unless swapped, target keeps its old contents, no new
// backup is left and temporary is not touched. An input that another program changed since
// it was opened is not replaced (kInputChanged). A backup name that a conversion in progress
// holds open is never removed, nor one that this run made (kBackupNameUsed). Only the file
// the conversion wrote is renamed: when the temporary name holds another one, nothing is
// renamed (kTemporaryTaken).
SwapOutcome SwapIntoPlace(Platform& files, const OpenFiles& open, RunBackups& made,
                          const SwapNames& names, bool keep_backup);

}  // namespace kestrune
