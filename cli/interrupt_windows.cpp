// Interrupted runs on Windows: a console control handler that stops the run, then ends the program.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "cli/interrupt.h"

namespace kestrune {
namespace {

// What the first interrupt records; the exit status is the system's own.
constexpr int kConsoleInterrupt = 1;
// The system ends a process whose console closes 5 seconds after the event.
static_assert(kStopSeconds < 5, "the wait must end before the system ends the process");

// Runs on a thread of its own while the run goes on. The first event asks the run to stop:
// the main thread then reports and ends the program while this one waits. A second event,
// or a run that has not ended within the wait, ends it from here; a conversion that reaches
// a temporary file being removed waits for that end, and the process's end closes the
// files, so that the removals take effect.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  if (StopOnInterrupt(kConsoleInterrupt)) Sleep(kStopSeconds * 1000);
  EndInterrupted();
}

}  // namespace

// Ctrl-C ignored when the program started (as by start /b) reaches no handler, as there.
void RemoveTemporariesOnInterrupt() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

void EndInterrupted() {
  RemoveWatchedTemporaries();
  ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

}  // namespace kestrune
