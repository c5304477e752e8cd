// The application object: names the settings store and runs the main window modally.
#include "app/wx/convert_app.h"

#include <cstdio>
#include <cstdlib>

#include <wx/utils.h>

#include "app/common/convert_command.h"
#include "app/common/settings_location.h"
#include "app/common/settings_schema.h"
#include "app/common/termination_signals.h"
#include "app/common/unexpected_failure.h"
#include "app/wx/app_resources.h"
#include "app/wx/convert_dlg.h"

namespace kestrune {
namespace {

[[noreturn]] void EndOnUnexpectedFailure() {
  std::fprintf(stderr, "%s\n", StopOnUnexpectedFailure());
  std::_Exit(kStartExitFailure);
}

}  // namespace

bool CConvertApp::OnInit() {
  // No wxApp::OnInit: the program takes no command-line options from the toolkit.
  SetVendorName(kSettingsCompanyKey);
  // The application name is the executable's base name, so a renamed copy keeps its own file.
  m_settingsFile = wxString::FromUTF8(
      SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), wxGetHomeDir().utf8_str(),
                       kSettingsCompanyKey, std::string(GetAppName().utf8_str())));
  LoadAppResources();
  RemoveConvertTemporariesOnTermination();
  Bind(wxEVT_END_SESSION, &CConvertApp::OnEndSession, this);
  return true;
}

int CConvertApp::OnRun() {
  CConvertDlg dialog(m_settingsFile, s_inputFile);
  SetTopWindow(&dialog);
  dialog.ShowModal();
  SetTopWindow(nullptr);
  return 0;
}

bool CConvertApp::OnExceptionInMainLoop() { EndOnUnexpectedFailure(); }

void CConvertApp::OnUnhandledException() { EndOnUnexpectedFailure(); }

// A conversion runs deep in the main window's stack, which cannot be unwound from here: its
// temporary files go and the program ends at once.
void CConvertApp::OnEndSession(wxCloseEvent& event) {
  if (RemoveConvertTemporaries()) std::_Exit(EXIT_SUCCESS);
  event.Skip();
}

}  // namespace kestrune
