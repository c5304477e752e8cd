// KESTRUNE's entry point: "--version" answers without a display, anything else opens the window.
#include <cstdio>
#include <cstring>

#include <wx/app.h>

#include "app/common/version_text.h"
#include "app/wx/convert_app.h"

wxIMPLEMENT_APP_NO_MAIN(kestrune::CConvertApp);

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::fputs(kestrune::VersionText().c_str(), stdout);
    return 0;
  }
  return wxEntry(argc, argv);
}
