// Signals that end the dialog program stop its Convert command first.
#pragma once

namespace kestrune {

// From now on, SIGTERM (which session managers send at the end of the desktop session),
// SIGHUP and SIGINT stop the Convert command in progress, which removes its temporary files
// itself and shows nothing more; the program then ends by the signal as it would have
// without. A second signal, or a command that has not stopped within a few seconds (one
// waiting in a message box), has its temporary files removed under it at once. POSIX only.
// A signal ignored when the program started stays ignored.
void RemoveConvertTemporariesOnTermination();

}  // namespace kestrune
