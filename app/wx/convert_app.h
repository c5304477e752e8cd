// The application object: names the settings store and runs the main window modally.
#pragma once

#include <wx/app.h>
#include <wx/string.h>

namespace kestrune {

class CConvertApp final : public wxApp {
 public:
  bool OnInit() override;
  // Runs the main window until it closes; there is no message loop of the program's own.
  int OnRun() override;

 private:
  wxString m_settingsFile;
};

}  // namespace kestrune
