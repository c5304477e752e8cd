// The entry point of KESTRUNE.EXE: "--help" and "--version" answer, else the application object
// runs the window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>

#include "app/common/start_options.h"
#include "app/common/version_text.h"
#include "app/win32/console_output.h"
#include "app/win32/convert_app.h"
#include "app/win32/unexpected_end.h"

namespace {

int Start() {
  using kestrune::StartOptions;
  // The C runtime splits the command line as console programs see it.
  const StartOptions start = kestrune::ParseStartOptions({__argv + 1, __argv + __argc});
  switch (start.action) {
    case StartOptions::Action::kPrintHelp:
      kestrune::WriteToConsole(STD_OUTPUT_HANDLE, kestrune::StartHelpText());
      return kestrune::kStartExitSuccess;
    case StartOptions::Action::kPrintVersion:
      kestrune::WriteToConsole(STD_OUTPUT_HANDLE, kestrune::VersionText());
      return kestrune::kStartExitSuccess;
    case StartOptions::Action::kUsageError:
      kestrune::WriteToConsole(STD_ERROR_HANDLE,
                               "KESTRUNE: " + start.error + "\nTry 'KESTRUNE --help'.\n");
      return kestrune::kStartExitUsage;
    case StartOptions::Action::kOpenWindow: break;
  }
  kestrune::TheApp().InitInstance(start.input_file);
  return kestrune::kStartExitSuccess;
}

}  // namespace

// No exception leaves the program.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Start();
  } catch (...) {
    kestrune::EndOnUnexpectedFailure();
  }
}
