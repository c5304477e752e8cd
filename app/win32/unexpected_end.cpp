// Ends the Windows program after an exception it cannot go on from.
#include "app/win32/unexpected_end.h"

#include <string>

#include "app/common/unexpected_failure.h"
#include "app/win32/console_output.h"

namespace kestrune {

void EndOnUnexpectedFailure() {
  const char* line = StopOnUnexpectedFailure();
  try {
    WriteToConsole(STD_ERROR_HANDLE, std::string(line) + "\n");
  } catch (...) {
    // The line needs memory too: the status tells what it can.
  }
  ExitProcess(kStartExitFailure);
}

}  // namespace kestrune
