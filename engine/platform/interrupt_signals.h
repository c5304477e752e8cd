// The signals that ask a program to end, caught by a handler where they are not ignored (POSIX).
#pragma once

namespace kestrune {

// From now on SIGINT, SIGTERM and SIGHUP call handler, with all three blocked while it runs
// so that none ends the program halfway through it. A signal ignored when the program
// started (as under nohup) stays ignored.
void CatchInterruptSignals(void (*handler)(int signal_number));

}  // namespace kestrune
