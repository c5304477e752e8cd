// Catches SIGINT, SIGTERM and SIGHUP unless the program was started with them ignored.
#include "engine/platform/interrupt_signals.h"

#include <signal.h>

namespace kestrune {

void CatchInterruptSignals(void (*handler)(int signal_number)) {
  constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction action = {};
  action.sa_handler = handler;
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
