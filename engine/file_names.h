// The temporary and backup names a schematic's path leads to.
#pragma once

#include "engine/capacities.h"

namespace kestrune {

constexpr const char* kFallbackTemporaryName = "QUORVA.TMP";

// The path cut after the extension dot of its file name (searched backwards in the last path
// component, never at its first character) followed by "TMP"; "QUORVA.TMP" in the file's own
// folder when the name has no such dot. False when the name does not fit out (kPathBytes).
bool TemporaryName(const char* path, char* out);
// Likewise with "P71"; a file name without such a dot gets ".P71" appended.
bool BackupName(const char* path, char* out);
// The first name tried for a backup's byte copy, which runs while the conversion's own
// temporary file holds the temporary name: that name, whose alternatives the copy then
// takes, or where those do not fit, the fallback name in the file's own folder.
bool BackupCopyName(const char* path, char* out);
// The temporary name with a digit 1..9 appended, for when the first one is taken.
bool AlternativeTemporaryName(const char* temporary, int attempt, char* out);

}  // namespace kestrune
