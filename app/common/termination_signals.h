// Signals that end the dialog program remove the temporary files of its Convert command first.
#pragma once

namespace kestrune {

// From now on, SIGTERM (which session managers send at the end of the desktop session),
// SIGHUP and SIGINT remove the temporary files of the Convert command in progress; the
// program then ends by the signal as it would have without. POSIX only. A signal ignored
// when the program started stays ignored.
void RemoveConvertTemporariesOnTermination();

}  // namespace kestrune
