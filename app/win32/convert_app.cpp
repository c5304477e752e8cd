// The application object: names the settings store and runs the main dialog.
#include "app/win32/convert_app.h"

#include "app/common/settings_schema.h"
#include "app/win32/application_name.h"
#include "app/win32/convert_dlg.h"

namespace kestrune {

namespace {

CConvertApp theApp;

}  // namespace

CConvertApp& TheApp() { return theApp; }

// Controls draw in three dimensions by themselves on every Windows this program runs on,
// so the start-up has nothing to enable for them.
bool CConvertApp::InitInstance(const std::optional<std::string>& input_file) {
  SetRegistryKey(kSettingsCompanyKey);
  CConvertDlg dlg(*m_profile, input_file);
  dlg.DoModal(nullptr);
  return false;
}

void CConvertApp::SetRegistryKey(const char* company) {
  m_profile = std::make_unique<RegistryProfileStore>(company, RunningApplicationName());
}

}  // namespace kestrune
