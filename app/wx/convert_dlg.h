// The main window on wxWidgets: two path fields with Browse buttons, two options, Convert, Exit,
// status line.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/string.h>

#include "app/common/convert_dialog_presenter.h"
#include "app/wx/file_profile_store.h"

class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

namespace kestrune {

// Keeps its settings in settings_file and shows input_file, when given, in the input field;
// what its controls do is the presenter's.
class CConvertDlg final : public wxDialog, public ConvertDialogView {
 public:
  explicit CConvertDlg(const wxString& settings_file,
                       std::optional<std::string> input_file = std::nullopt);

  void ShowStatus(const char* text) override;
  void ShowMessage(const char* text, MessageKind kind) override;
  void ShowLongMessage(const char* text, MessageKind kind) override;
  void ShowSettings(const DialogSettings& settings) override;
  DialogSettings ReadSettings() const override;
  std::string PathForRun(PathField field) const override;
  FieldEncoding PathEncoding() const override { return FieldEncoding::kUtf8; }
  void WhileBusy(const std::function<void()>& work) override;
  bool AskForFile(const char* extension, std::string* path) override;
  std::string EnterFolderOf(const std::string& path) override;
  void ShowPath(PathField field, const std::string& path) override;
  void ShowAboutBox() override;
  void Finish(DialogEnd end) override;

  // The menu that stands in for the window menu: the About item.
  std::unique_ptr<wxMenu> CreateSystemMenu() const;

 private:
  void BindHandlers();
  void AcceptDroppedFiles();
  void OnInitDialog(wxInitDialogEvent& event);
  void OnSysCommand(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnCharHook(wxKeyEvent& event);
  wxTextCtrl& FieldOf(PathField field) const;
  // Shows bytes in a field; the bytes a field stands for, converted by to_bytes once edited.
  void ShowBytes(PathField field, const std::string& bytes);
  std::string BytesOf(PathField field, std::string (*to_bytes)(const wxString&)) const;
  void PaintNow();

  FileProfileStore m_settings;
  ConvertDialogPresenter m_presenter;
  std::optional<std::string> m_givenInputFile;
  bool m_started = false;
  wxIconBundle m_hIcon;
  wxTextCtrl* m_inputFile;
  wxTextCtrl* m_iniFile;
  // What each path field was last given, so that a name that is no UTF-8 (a Linux name may be
  // any bytes), which no field can show as it is, comes back whole while it is left alone.
  struct ShownBytes {
    wxString shown;
    std::string bytes;
  } m_shown[2];
  wxCheckBox* m_backup;
  wxCheckBox* m_embedded;
  wxStaticText* m_status;
};

}  // namespace kestrune
