// The application object: names the settings store and runs the main window modally.
#include "app/wx/convert_app.h"

#include <cstdlib>

#include <wx/utils.h>

#include "app/common/settings_location.h"
#include "app/common/settings_schema.h"
#include "app/wx/app_resources.h"
#include "app/wx/convert_dlg.h"

namespace kestrune {

bool CConvertApp::OnInit() {
  // No wxApp::OnInit: the program takes no command-line options from the toolkit.
  SetVendorName(kSettingsCompanyKey);
  // The application name is the executable's base name, so a renamed copy keeps its own file.
  m_settingsFile = wxString::FromUTF8(
      SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), wxGetHomeDir().utf8_str(),
                       kSettingsCompanyKey, std::string(GetAppName().utf8_str())));
  LoadAppResources();
  return true;
}

int CConvertApp::OnRun() {
  CConvertDlg dialog(m_settingsFile, s_inputFile);
  SetTopWindow(&dialog);
  dialog.ShowModal();
  SetTopWindow(nullptr);
  return 0;
}

}  // namespace kestrune
