// The whole Convert command: from two paths and two options to the closing message.
#pragma once

#include "engine/status_sink.h"

namespace kestrune {

// Loads the part libraries of iniPath, converts inputPath (and, with embedded, the
// files its parts lead to), lists every visited file followed by "Converted!" through
// ShowInfo, and ends with the idle status. backups and embedded: zero off, else on.
// A path of more than 199 characters is refused, never cut.
void RunConversion(StatusSink& sink, const char* inputPath, const char* iniPath, int backups,
                   int embedded);

}  // namespace kestrune
