// Fills the part table from the symbol libraries that the design tools' INI file lists.
#pragma once

#include "engine/status_sink.h"

namespace kestrune {

// Rebuilds the part table from the libraries of ini_path, showing each step through
// sink. Libraries that cannot be read are passed over. Always returns 1.
int LoadPartLibraries(StatusSink& sink, const char* iniPath);

}  // namespace kestrune
