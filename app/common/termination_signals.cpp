// Signals that end the dialog program stop its Convert command first.
#include "app/common/termination_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "app/common/convert_command.h"
#include "engine/platform/interrupt_signals.h"

namespace kestrune {
namespace {

// How long a stopped command may take: one waits while a message box is open.
constexpr unsigned kStopSeconds = 2;

static_assert(std::atomic<int>::is_always_lock_free, "needed in a signal handler");
std::atomic<int> first_signal{0};

// Within a handler the signal is blocked: raised again, it ends the program on return.
void EndByFirstSignal() {
  const int signal_number = first_signal.load();
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void EndNow() {
  RemoveConvertTemporaries();
  EndByFirstSignal();
}

void OnTermination(int signal_number) {
  int none = 0;
  if (first_signal.compare_exchange_strong(none, signal_number) &&
      StopConvertCommand(EndByFirstSignal)) {
    alarm(kStopSeconds);
    return;
  }
  EndNow();
}

void OnStopTimeOut(int) { EndNow(); }

}  // namespace

void RemoveConvertTemporariesOnTermination() {
  CatchInterruptSignals(OnTermination);
  struct sigaction time_out = {};
  time_out.sa_handler = OnStopTimeOut;
  sigemptyset(&time_out.sa_mask);
  sigaction(SIGALRM, &time_out, nullptr);
}

}  // namespace kestrune
