// Interrupted runs on POSIX: signal handlers that remove the run's temporary files.
#include <signal.h>
#include <unistd.h>

#include "cli/interrupt.h"
#include "engine/platform/interrupt_signals.h"

namespace kestrune {
namespace {

constexpr int kSignalExitBase = 128;

void OnInterrupt(int signal_number) {
  RemoveWatchedTemporaries();
  _exit(kSignalExitBase + signal_number);
}

}  // namespace

void RemoveTemporariesOnInterrupt() { CatchInterruptSignals(OnInterrupt); }

}  // namespace kestrune
