// Signals that end the dialog program remove the temporary files of its Convert command first.
#include "app/common/termination_signals.h"

#include <signal.h>

#include "app/common/convert_command.h"

namespace kestrune {
namespace {

constexpr int kTerminationSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The signal is blocked while its handler runs: raised again, it ends the program on return.
void OnTermination(int signal_number) {
  RemoveConvertTemporaries();
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

}  // namespace

void RemoveConvertTemporariesOnTermination() {
  struct sigaction action = {};
  action.sa_handler = OnTermination;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kTerminationSignals) sigaddset(&action.sa_mask, signal_number);
  for (const int signal_number : kTerminationSignals) {
    struct sigaction previous;
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace kestrune
