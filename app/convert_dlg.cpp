// The main window: two path fields with Browse buttons, two options, Convert, Exit, status line.
#include "app/convert_dlg.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/about_dlg.h"
#include "app/app_resources.h"
#include "app/convert_command.h"
#include "app/dialog_layout.h"
#include "app/file_profile_store.h"
#include "app/input_blocker.h"
#include "res/resource.h"
#include "res/strings.h"

namespace kestrune {

namespace {

constexpr char kMessageCaption[] = "Convert";

// The engine's texts are the bytes of file names, UTF-8 where the desktop is sane.
wxString FromEngineText(const char* text) {
  const wxString utf8 = wxString::FromUTF8(text);
  return utf8.empty() && *text != '\0' ? wxString(text, wxConvISO8859_1) : utf8;
}

// "SCH" offers "*.SCH"; the pattern ignores letter case, as Windows names do.
wxString WildcardFor(const char* extension) {
  wxString pattern = "*.";
  for (const char letter : wxString(extension)) {
    pattern << '[' << wxString(letter).Upper() << wxString(letter).Lower() << ']';
  }
  return wxString::Format("%s (*.%s)|%s", extension, extension, pattern);
}

template <typename Control>
Control* FindControl(wxWindow& dialog, int id) {
  return wxStaticCast(dialog.FindWindow(id), Control);
}

}  // namespace

CConvertDlg::CConvertDlg(const wxString& settings_file)
    : m_settingsFile(settings_file), m_hIcon(LoadMainIcons()) {
  wxXmlResource::Get()->LoadDialog(this, nullptr, "IDD_CONVERT_DIALOG");
  FitTemplateToToolkit(*this, wxSize(266, 114));
  m_inputFile = FindControl<wxTextCtrl>(*this, IDC_INPUT_FILE);
  m_iniFile = FindControl<wxTextCtrl>(*this, IDC_INI_FILE);
  m_backup = FindControl<wxCheckBox>(*this, IDC_BACKUP);
  m_embedded = FindControl<wxCheckBox>(*this, IDC_EMBEDDED);
  m_status = FindControl<wxStaticText>(*this, IDC_STATUS);
  // Esc would otherwise press the only button, Exit, and save.
  SetEscapeId(wxID_NONE);
  BindHandlers();
}

void CConvertDlg::BindHandlers() {
  Bind(wxEVT_INIT_DIALOG, &CConvertDlg::OnInitDialog, this);
  Bind(wxEVT_BUTTON, &CConvertDlg::OnOK, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CConvertDlg::OnConvert, this, IDC_CONVERT);
  Bind(wxEVT_BUTTON, &CConvertDlg::OnBrowseInput, this, IDC_BROWSE_INPUT);
  Bind(wxEVT_BUTTON, &CConvertDlg::OnBrowseIni, this, IDC_BROWSE_INI);
  Bind(wxEVT_MENU, &CConvertDlg::OnSysCommand, this);
  Bind(wxEVT_CONTEXT_MENU, &CConvertDlg::OnContextMenu, this);
  Bind(wxEVT_CHAR_HOOK, &CConvertDlg::OnCharHook, this);
}

void CConvertDlg::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();  // the base initialisation
  SetIcons(m_hIcon);
  FileProfileStore store(m_settingsFile);
  ShowSettings(LoadSettings(store));
  m_inputFile->SetFocus();
}

void CConvertDlg::ShowSettings(const DialogSettings& settings) {
  m_inputFile->ChangeValue(wxString::FromUTF8(settings.input_file));
  m_iniFile->ChangeValue(wxString::FromUTF8(settings.ini_file));
  m_backup->SetValue(settings.backups);
  m_embedded->SetValue(settings.embedded);
}

DialogSettings CConvertDlg::ReadSettings() const {
  DialogSettings settings;
  settings.input_file = m_inputFile->GetValue().utf8_str();
  settings.ini_file = m_iniFile->GetValue().utf8_str();
  settings.backups = m_backup->IsChecked();
  settings.embedded = m_embedded->IsChecked();
  return settings;
}

void CConvertDlg::OnOK(wxCommandEvent& event) {
  FileProfileStore store(m_settingsFile);
  SaveSettings(store, ReadSettings());
  store.Flush();
  event.Skip();  // the base class closes the dialog
}

void CConvertDlg::OnConvert(wxCommandEvent&) {
  const ConvertRequest request =
      MakeConvertRequest(m_inputFile->GetValue().fn_str(), m_iniFile->GetValue().fn_str(),
                         FieldEncoding::kUtf8, m_backup->IsChecked(), m_embedded->IsChecked());
  InputBlocker blocker(*this);
  RunConvertCommand(*this, request);
  // Input that arrived during the last stretch of work is swallowed too.
  PaintNow();
}

void CConvertDlg::OnBrowseInput(wxCommandEvent&) { BrowseInto(*m_inputFile, "SCH"); }

void CConvertDlg::OnBrowseIni(wxCommandEvent&) { BrowseInto(*m_iniFile, "INI"); }

void CConvertDlg::BrowseInto(wxTextCtrl& field, const char* extension) {
  wxFileDialog picker(this, wxFileSelectorPromptStr, wxEmptyString,
                      wxString::Format("*.%s", extension), WildcardFor(extension), wxFD_OPEN);
  if (picker.ShowModal() != wxID_OK) return;
  const wxString path = picker.GetPath();
  field.ChangeValue(path);
  // The converter resolves relative part defaults against the picked file's folder.
  wxSetWorkingDirectory(wxFileName(path).GetPath());
}

std::unique_ptr<wxMenu> CConvertDlg::CreateSystemMenu() const {
  auto menu = std::make_unique<wxMenu>();
  const wxString about = LoadResourceString(IDS_ABOUTBOX);
  if (!about.empty()) menu->Append(IDM_ABOUTBOX, about);
  return menu;
}

void CConvertDlg::OnSysCommand(wxCommandEvent& event) {
  if ((event.GetId() & 0xFFF0) != IDM_ABOUTBOX) {
    event.Skip();
    return;
  }
  CAboutDlg about(this);
  about.ShowModal();
}

void CConvertDlg::OnContextMenu(wxContextMenuEvent&) {
  const std::unique_ptr<wxMenu> menu = CreateSystemMenu();
  PopupMenu(menu.get());
}

// Esc cancels. GTK has no window menu to extend, so the About item is also on F1, the
// Menu key and Shift+F10, besides the right mouse button.
void CConvertDlg::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  const bool menu_key =
      key == WXK_MENU || (key == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT);
  if (key == WXK_ESCAPE) {
    Close();  // the base class's cancel: nothing is saved
  } else if (key == WXK_F1) {
    wxCommandEvent about(wxEVT_MENU, IDM_ABOUTBOX);
    ProcessWindowEvent(about);
  } else if (menu_key) {
    wxContextMenuEvent context(wxEVT_CONTEXT_MENU, GetId(), wxDefaultPosition);
    context.SetEventObject(this);
    ProcessWindowEvent(context);
  } else {
    event.Skip();
  }
}

void CConvertDlg::SetStatus(const char* text) {
  m_status->SetLabel(FromEngineText(text));
  PaintNow();
}

void CConvertDlg::PaintNow() {
  // Lets GTK lay out and paint; the InputBlocker of a run swallows any input meanwhile.
  wxTheApp->Yield(true);
  m_status->Refresh();
  Update();
}

void CConvertDlg::ShowError(const char* text) { ShowMessage(text, wxICON_ERROR); }

void CConvertDlg::ShowInfo(const char* text) { ShowMessage(text, wxICON_NONE); }

void CConvertDlg::ShowMessage(const char* text, long icon_style) {
  wxMessageDialog box(this, FromEngineText(text), kMessageCaption, wxOK | icon_style);
  box.ShowModal();
}

}  // namespace kestrune
