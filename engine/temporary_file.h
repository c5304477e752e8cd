// Claims a temporary name beside a file and creates its locked temporary file there.
#pragma once

#include "engine/open_files.h"
#include "engine/platform/platform.h"

namespace kestrune {

// Creates a new file, exclusively and locked, under the temporary name first or one of its
// alternatives, and writes the name it took into name (kPathBytes); kNoFile on failure, with
// nothing created. A name that a conversion in progress holds, in this run (open) or another
// (locked), is passed over for the next alternative, and so is one that holds kept (a file
// this run closed but still needs); a leftover of a stopped run, which no one holds, is
// removed and its name taken. Once a stop is requested (OpenFiles::RequestStop), nothing is
// created.
FileHandle CreateTemporaryFile(Platform& files, const OpenFiles& open, const char* first,
                               char* name, const FileInfo& kept = FileInfo{});

}  // namespace kestrune
