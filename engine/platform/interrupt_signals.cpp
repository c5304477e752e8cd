// Catches SIGINT, SIGTERM and SIGHUP unless the program was started with them ignored.
#include "engine/platform/interrupt_signals.h"

#include <pthread.h>

namespace kestrune {
namespace {

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t InterruptSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : kInterruptSignals) sigaddset(&set, signal_number);
  return set;
}

}  // namespace

void CatchInterruptSignals(void (*handler)(int signal_number)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_mask = InterruptSignalSet();
  action.sa_flags = SA_RESTART;
  for (const int signal_number : kInterruptSignals) {
    struct sigaction previous;
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal_number, &action, nullptr);
  }
}

InterruptSignalsBlocked::InterruptSignalsBlocked() {
  const sigset_t blocked = InterruptSignalSet();
  pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
}

InterruptSignalsBlocked::~InterruptSignalsBlocked() {
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace kestrune
