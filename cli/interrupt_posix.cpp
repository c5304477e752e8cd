// Interrupted runs on POSIX: signal handlers that remove the run's temporary files.
#include <signal.h>
#include <unistd.h>

#include "cli/interrupt.h"

namespace kestrune {
namespace {

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalExitBase = 128;

void OnInterrupt(int signal_number) {
  RemoveWatchedTemporaries();
  _exit(kSignalExitBase + signal_number);
}

}  // namespace

// While one handler removes files, the other signals wait, so that none ends the program
// halfway through.
void RemoveTemporariesOnInterrupt() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kInterruptSignals) sigaddset(&action.sa_mask, signal_number);
  for (const int signal_number : kInterruptSignals) {
    struct sigaction previous;
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace kestrune
