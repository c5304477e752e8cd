// What a dialog program does with an exception that reaches its top: it cannot go on.
#pragma once

namespace kestrune {

// The status a dialog program ends with after an unexpected failure.
constexpr int kStartExitFailure = 1;

// For a catch block at the top of a dialog program, or of a window procedure that no
// exception may leave: removes the temporary files of the Convert command the exception cut
// short (its files stay as they were) and returns the one line that tells what stopped the
// program, such as "KESTRUNE: stopped: not enough memory". The program then shows it and
// ends with kStartExitFailure. Allocates nothing.
const char* StopOnUnexpectedFailure();

}  // namespace kestrune
