// The main window on wxWidgets: two path fields with Browse buttons, two options, Convert, Exit,
// status line.
#include "app/wx/convert_dlg.h"

#include <utility>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/common/default_extension.h"
#include "app/wx/about_dlg.h"
#include "app/wx/app_resources.h"
#include "app/wx/dialog_layout.h"
#include "app/wx/input_blocker.h"
#include "app/wx/long_message_dlg.h"
#include "app/wx/message_dlg.h"
#include "app/wx/path_drop_target.h"
#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/strings.h"

namespace kestrune {

namespace {

// The engine's texts are the bytes of file names, UTF-8 where the desktop is sane.
wxString FromEngineText(const char* text) {
  const wxString utf8 = wxString::FromUTF8(text);
  return utf8.empty() && *text != '\0' ? wxString(text, wxConvISO8859_1) : utf8;
}

std::string Utf8Bytes(const wxString& text) { return std::string(text.utf8_str()); }
std::string FileNameBytes(const wxString& text) { return std::string(text.fn_str()); }

// "SCH" offers "*.SCH", then every file; the pattern ignores letter case, as Windows names do.
wxString WildcardFor(const char* extension) {
  wxString pattern = "*.";
  for (const char letter : wxString(extension)) {
    pattern << '[' << wxString(letter).Upper() << wxString(letter).Lower() << ']';
  }
  return wxString::Format("%s (*.%s)|%s|%s|*", extension, extension, pattern, kAllFilesFilterName);
}

// A text field keeps its own menu (Cut, Copy, Paste); the rest of the window offers About.
bool HasOwnMenu(const wxObject* window) { return wxDynamicCast(window, wxTextCtrl) != nullptr; }

template <typename Control>
Control* FindControl(wxWindow& dialog, int id) {
  return wxStaticCast(dialog.FindWindow(id), Control);
}

}  // namespace

CConvertDlg::CConvertDlg(const wxString& settings_file, std::optional<std::string> input_file)
    : m_settings(settings_file),
      m_presenter(*this, m_settings),
      m_givenInputFile(std::move(input_file)),
      m_hIcon(LoadMainIcons()) {
  wxXmlResource::Get()->LoadDialog(this, nullptr, "IDD_CONVERT_DIALOG");
  FitTemplateToToolkit(*this, kIDD_CONVERT_DIALOG);
  // Having no owner, it opens in the middle of the display's work area.
  CentreOnScreen();
  m_inputFile = FindControl<wxTextCtrl>(*this, IDC_INPUT_FILE);
  m_iniFile = FindControl<wxTextCtrl>(*this, IDC_INI_FILE);
  m_backup = FindControl<wxCheckBox>(*this, IDC_BACKUP);
  m_embedded = FindControl<wxCheckBox>(*this, IDC_EMBEDDED);
  m_status = FindControl<wxStaticText>(*this, IDC_STATUS);
  // Esc would otherwise press the only button, Exit, and save.
  SetEscapeId(wxID_NONE);
  BindHandlers();
  AcceptDroppedFiles();
}

// A drop on the INI field names the INI file; anywhere else, the schematic. The input field
// takes files itself too, or GTK would insert their text at the drop point.
void CConvertDlg::AcceptDroppedFiles() {
  for (const PathField field : {PathField::kInput, PathField::kIni}) {
    FieldOf(field).SetDropTarget(
        new PathDropTarget([this, field](const std::vector<std::string>& paths) {
          m_presenter.OnFilesDropped(field, paths);
        }));
  }
  SetDropTarget(new PathDropTarget([this](const std::vector<std::string>& paths) {
    m_presenter.OnFilesDropped(PathField::kInput, paths);
  }));
}

void CConvertDlg::BindHandlers() {
  Bind(wxEVT_INIT_DIALOG, &CConvertDlg::OnInitDialog, this);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { m_presenter.OnExit(); }, wxID_OK);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { m_presenter.OnConvert(); }, IDC_CONVERT);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { m_presenter.OnBrowse(PathField::kInput); },
      IDC_BROWSE_INPUT);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { m_presenter.OnBrowse(PathField::kIni); },
      IDC_BROWSE_INI);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { m_presenter.OnCancel(); });
  Bind(wxEVT_MENU, &CConvertDlg::OnSysCommand, this);
  Bind(wxEVT_CONTEXT_MENU, &CConvertDlg::OnContextMenu, this);
  Bind(wxEVT_CHAR_HOOK, &CConvertDlg::OnCharHook, this);
}

void CConvertDlg::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();  // the base initialisation
  SetIcons(m_hIcon);
  // GTK initialises a dialog each time it is shown; the start (which may enter a folder,
  // after which a relative name would no longer hold) happens once.
  if (!m_started) m_presenter.OnStart(m_givenInputFile);
  m_started = true;
  m_inputFile->SetFocus();
}

wxTextCtrl& CConvertDlg::FieldOf(PathField field) const {
  return field == PathField::kInput ? *m_inputFile : *m_iniFile;
}

void CConvertDlg::ShowBytes(PathField field, const std::string& bytes) {
  ShownBytes& shown = m_shown[field == PathField::kInput ? 0 : 1];
  shown.bytes = bytes;
  shown.shown = FromEngineText(bytes.c_str());
  FieldOf(field).ChangeValue(shown.shown);
}

std::string CConvertDlg::BytesOf(PathField field, std::string (*to_bytes)(const wxString&)) const {
  const ShownBytes& shown = m_shown[field == PathField::kInput ? 0 : 1];
  const wxString text = FieldOf(field).GetValue();
  return text == shown.shown ? shown.bytes : to_bytes(text);
}

void CConvertDlg::ShowSettings(const DialogSettings& settings) {
  ShowBytes(PathField::kInput, settings.input_file);
  ShowBytes(PathField::kIni, settings.ini_file);
  m_backup->SetValue(settings.backups);
  m_embedded->SetValue(settings.embedded);
}

DialogSettings CConvertDlg::ReadSettings() const {
  return DialogSettings{BytesOf(PathField::kInput, Utf8Bytes), BytesOf(PathField::kIni, Utf8Bytes),
                        m_backup->IsChecked(), m_embedded->IsChecked()};
}

std::string CConvertDlg::PathForRun(PathField field) const { return BytesOf(field, FileNameBytes); }

void CConvertDlg::WhileBusy(const std::function<void()>& work) {
  InputBlocker blocker(*this);
  work();
  // Input that arrived during the last stretch of work is swallowed too.
  PaintNow();
}

bool CConvertDlg::AskForFile(const char* extension, std::string* path) {
  wxFileDialog picker(this, wxFileSelectorPromptStr, wxEmptyString,
                      wxString::Format("*.%s", extension), WildcardFor(extension), wxFD_OPEN);
  if (picker.ShowModal() != wxID_OK) return false;
  // GTK's chooser gives a typed "AMP" back as it is.
  *path = WithDefaultExtension(std::string(picker.GetPath().utf8_str()), extension);
  return true;
}

std::string CConvertDlg::EnterFolderOf(const std::string& path) {
  wxFileName file(wxString::FromUTF8(path));
  // A name that is no UTF-8 the fields could not show anyway.
  if (!file.IsOk()) return path;
  file.MakeAbsolute();
  const wxLogNull no_box;  // a folder that cannot be entered is no error here: the run will say
  wxSetWorkingDirectory(file.GetPath());
  return std::string(file.GetFullPath().utf8_str());
}

void CConvertDlg::ShowPath(PathField field, const std::string& path) { ShowBytes(field, path); }

void CConvertDlg::ShowAboutBox() {
  CAboutDlg about(this);
  about.ShowModal();
}

void CConvertDlg::Finish(DialogEnd end) {
  EndDialog(end == DialogEnd::kExit ? wxID_OK : wxID_CANCEL);
}

std::unique_ptr<wxMenu> CConvertDlg::CreateSystemMenu() const {
  auto menu = std::make_unique<wxMenu>();
  const wxString about = LoadResourceString(IDS_ABOUTBOX);
  if (!about.empty()) menu->Append(IDM_ABOUTBOX, about);
  return menu;
}

void CConvertDlg::OnSysCommand(wxCommandEvent& event) {
  if (!m_presenter.OnSystemCommand(static_cast<unsigned>(event.GetId()))) event.Skip();
}

void CConvertDlg::OnContextMenu(wxContextMenuEvent& event) {
  if (HasOwnMenu(event.GetEventObject())) {
    event.Skip();
    return;
  }
  const std::unique_ptr<wxMenu> menu = CreateSystemMenu();
  PopupMenu(menu.get());
}

// GTK has no window menu to extend, so the About item is also on F1, the Menu key and
// Shift+F10, besides the right mouse button; in a text field those keys give its own menu.
void CConvertDlg::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  const bool menu_key =
      (key == WXK_MENU || (key == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT)) &&
      !HasOwnMenu(FindFocus());
  if (key == WXK_ESCAPE) {
    m_presenter.OnCancel();
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

// A long path is shortened in the middle, keeping the start of the text and the file's name.
void CConvertDlg::ShowStatus(const char* text) {
  wxClientDC device(m_status);
  device.SetFont(m_status->GetFont());
  m_status->SetLabelText(wxControl::Ellipsize(FromEngineText(text), device, wxELLIPSIZE_MIDDLE,
                                              m_status->GetSize().x,
                                              wxELLIPSIZE_FLAGS_EXPAND_TABS));
  PaintNow();
}

void CConvertDlg::PaintNow() {
  // Lets GTK lay out and paint; the InputBlocker of a run swallows any input meanwhile.
  wxTheApp->Yield(true);
  m_status->Refresh();
  Update();
}

void CConvertDlg::ShowMessage(const char* text, MessageKind kind) {
  const wxString message = FromEngineText(text);
  if (!MessageDlg::Fits(*this, message)) {
    ShowLongMessage(text, kind);
    return;
  }
  MessageDlg box(this, message, kind);
  box.ShowModal();
}

void CConvertDlg::ShowLongMessage(const char* text, MessageKind kind) {
  LongMessageDlg box(this, FromEngineText(text), kind);
  box.ShowModal();
}

}  // namespace kestrune
