// KESTRUNE's entry point: "--help" and "--version" answer without a display, else the window opens.
#include <cstdio>
#include <string>
#include <vector>

#include <wx/app.h>

#include "app/common/start_options.h"
#include "app/common/unexpected_failure.h"
#include "app/common/version_text.h"
#include "app/wx/convert_app.h"

wxIMPLEMENT_APP_NO_MAIN(kestrune::CConvertApp);

namespace {

int Start(int argc, char** argv) {
  using kestrune::StartOptions;
  const StartOptions start = kestrune::ParseStartOptions({argv + 1, argv + argc});
  switch (start.action) {
    case StartOptions::Action::kPrintHelp:
      std::fputs(kestrune::StartHelpText().c_str(), stdout);
      return kestrune::kStartExitSuccess;
    case StartOptions::Action::kPrintVersion:
      std::fputs(kestrune::VersionText().c_str(), stdout);
      return kestrune::kStartExitSuccess;
    case StartOptions::Action::kUsageError:
      std::fprintf(stderr, "KESTRUNE: %s\nTry 'KESTRUNE --help'.\n", start.error.c_str());
      return kestrune::kStartExitUsage;
    case StartOptions::Action::kOpenWindow: break;
  }
  kestrune::CConvertApp::SetInputFile(start.input_file);
  return wxEntry(argc, argv);
}

}  // namespace

// No exception leaves the program (the application object ends it on one in the event loop).
int main(int argc, char** argv) {
  try {
    return Start(argc, argv);
  } catch (...) {
    std::fprintf(stderr, "%s\n", kestrune::StopOnUnexpectedFailure());
    return kestrune::kStartExitFailure;
  }
}
