// Signals that end the dialog program remove the temporary files of its Convert command first.
#include "app/common/termination_signals.h"

#include <signal.h>

#include "app/common/convert_command.h"
#include "engine/platform/interrupt_signals.h"

namespace kestrune {
namespace {

// The signal is blocked while its handler runs: raised again, it ends the program on return.
void OnTermination(int signal_number) {
  RemoveConvertTemporaries();
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

}  // namespace

void RemoveConvertTemporariesOnTermination() { CatchInterruptSignals(OnTermination); }

}  // namespace kestrune
