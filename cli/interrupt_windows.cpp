// Interrupted runs on Windows: a console control handler that removes the run's temporary files.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "cli/interrupt.h"

namespace kestrune {
namespace {

// Runs on a thread of its own while the run goes on; the run waits once it reaches a
// temporary file being removed, and the process's end closes the files, so that the
// removals take effect.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  RemoveWatchedTemporaries();
  ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

}  // namespace

// Ctrl-C ignored when the program started (as by start /b) reaches no handler, as there.
void RemoveTemporariesOnInterrupt() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

}  // namespace kestrune
