// Puts a finished temporary file in the place of its input without ever leaving the name empty.
#pragma once

#include "engine/open_files.h"
#include "engine/platform/platform.h"

namespace kestrune {

// Gives target the contents of temporary. With keep_backup the previous contents stay
// under backup (an older backup goes); without it any file named backup goes. At every
// instant target holds its old or its new contents. On failure target keeps its old
// contents, no new backup is left, and false is returned; temporary is not touched then.
// A backup name that a conversion of open holds is never removed.
bool SwapIntoPlace(Platform& files, const OpenFiles& open, const char* target,
                   const char* temporary, const char* backup, bool keep_backup);

}  // namespace kestrune
