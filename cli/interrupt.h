// An interrupted run leaves its inputs as they were, no temporary file and a telling status.
#pragma once

#include "engine/conversion_engine.h"

namespace kestrune {

// From now on until the program ends, SIGINT, SIGTERM and SIGHUP (on Windows Ctrl-C,
// Ctrl-Break and the closing of the console) remove the temporary files of the conversions
// in progress of every watched engine and end the program: with 128 plus the signal's
// number, on Windows with STATUS_CONTROL_C_EXIT, the status its own handler gives. A signal
// ignored when the program started (as under nohup) stays ignored.
void RemoveTemporariesOnInterrupt();

// Makes an interrupt remove engine's temporary files too. The engine must last until the
// program ends: an interrupt may come at any moment.
void WatchOnInterrupt(ConversionEngine& engine);

// What the handlers do first: removes the temporary files of every watched engine. Safe in
// a signal handler and on another thread.
void RemoveWatchedTemporaries();

}  // namespace kestrune
