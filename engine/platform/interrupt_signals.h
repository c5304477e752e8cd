// The signals that ask a program to end, caught by a handler where they are not ignored (POSIX).
#pragma once

#include <signal.h>

namespace kestrune {

// From now on SIGINT, SIGTERM and SIGHUP call handler, with all three blocked while it runs
// so that none ends the program halfway through it. A signal ignored when the program
// started (as under nohup) stays ignored. Calls the handler interrupts are resumed, so that
// a handler may return and leave the ending to the work it asked to stop.
void CatchInterruptSignals(void (*handler)(int signal_number));

// While it lasts, the three signals are blocked on the calling thread, and so on every thread
// it starts meanwhile: their handler then runs on a thread that does not convert (the one
// that starts and waits for the others), never on top of a worker's conversion.
class InterruptSignalsBlocked {
 public:
  InterruptSignalsBlocked();
  ~InterruptSignalsBlocked();
  InterruptSignalsBlocked(const InterruptSignalsBlocked&) = delete;
  InterruptSignalsBlocked& operator=(const InterruptSignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace kestrune
