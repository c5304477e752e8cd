// Ends the Windows program after an exception it cannot go on from.
#pragma once

namespace kestrune {

// Inside a catch block: the Convert command the exception cut short leaves no temporary
// file, a line tells what happened (on the console the program was started from, else in a
// box) and the program ends with kStartExitFailure. For the entry point and for window
// procedures, which no exception may leave.
[[noreturn]] void EndOnUnexpectedFailure();

}  // namespace kestrune
