// An interrupted run leaves its inputs as they were, no temporary file and a telling status.
#pragma once

#include "engine/conversion_engine.h"

namespace kestrune {

// How long the runs may take to stop after an interrupt (a flush of a slow disk) before their
// temporary files are removed under them and the program ends.
constexpr int kStopSeconds = 2;

// From now on until the program ends, SIGINT, SIGTERM and SIGHUP (on Windows Ctrl-C,
// Ctrl-Break and the closing of the console) stop every watched engine (StopOnInterrupt):
// the batch then reports what was finished and ends the program with EndInterrupted. A
// second one, or a run that has not stopped within kStopSeconds, ends the program at once
// with EndInterrupted. A signal ignored when the program started (as
// under nohup) stays ignored.
void RemoveTemporariesOnInterrupt();

// Makes an interrupt reach engine too (at once, if one came already); watching an engine
// twice watches it once. The engine must last until it is forgotten.
void WatchOnInterrupt(ConversionEngine& engine);
// Before a watched engine goes; once it returns, no interrupt reaches the engine, though a
// handler runs on another thread (on Windows). On POSIX, not from a signal handler.
void ForgetOnInterrupt(ConversionEngine& engine);

// The first interrupt: records it and asks every watched engine to stop; false when one was
// recorded before. Safe in a signal handler and on another thread.
bool StopOnInterrupt(int signal_number);
// True once an interrupt was recorded.
bool Interrupted();
// The signal number the first interrupt recorded; 0 before one.
int InterruptSignal();
// Removes the temporary files of every watched engine, then ends the program as an
// interrupt does: with 128 plus the first signal's number, on Windows with
// STATUS_CONTROL_C_EXIT, the status its own handler gives. Safe in a signal handler and on
// another thread.
[[noreturn]] void EndInterrupted();

// What EndInterrupted does first: removes the temporary files of every watched engine.
void RemoveWatchedTemporaries();

}  // namespace kestrune
