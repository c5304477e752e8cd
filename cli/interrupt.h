// An interrupted run leaves its inputs as they were, no temporary file and a telling status.
#pragma once

#include "engine/conversion_engine.h"

namespace kestrune {

// From now on until the program ends, SIGINT, SIGTERM and SIGHUP (on Windows Ctrl-C,
// Ctrl-Break and the closing of the console) remove the temporary files of engine's
// conversions in progress and end the program: with 128 plus the signal's number, on
// Windows with STATUS_CONTROL_C_EXIT, the status its own handler gives. A signal ignored
// when the program started (as under nohup) stays ignored.
void RemoveTemporariesOnInterrupt(ConversionEngine& engine);

}  // namespace kestrune
