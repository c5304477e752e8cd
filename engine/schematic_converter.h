// Converts one schematic file from version 7.1 to 6.1 in place, nested files first.
#pragma once

#include "engine/status_sink.h"

namespace kestrune {

// Converts the file that path names (at most 199 characters, relative names against the
// current directory), unless this run has visited it already. The run state must be set
// up: visited list reset, options set, part table filled. Failures are shown through
// sink; the file then keeps its old contents under its own name.
void ConvertFile(StatusSink& sink, const char* path);

}  // namespace kestrune
