// Interrupted runs on POSIX: the first signal stops the runs, a second one ends the program.
#include <signal.h>
#include <unistd.h>

#include "cli/interrupt.h"
#include "engine/platform/interrupt_signals.h"

namespace kestrune {
namespace {

constexpr int kSignalExitBase = 128;

// Runs on the thread that waits for the workers (they block the signals), or on top of the
// conversion of runs one after another.
void OnInterrupt(int signal_number) {
  if (!StopOnInterrupt(signal_number)) EndInterrupted();
}

}  // namespace

void RemoveTemporariesOnInterrupt() { CatchInterruptSignals(OnInterrupt); }

void EndInterrupted() {
  RemoveWatchedTemporaries();
  _exit(kSignalExitBase + InterruptSignal());
}

}  // namespace kestrune
