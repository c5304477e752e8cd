// The main window: two path fields with Browse buttons, two options, Convert, Exit, status line.
#pragma once

#include <memory>

#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/string.h>

#include "app/settings_schema.h"
#include "engine/status_sink.h"

class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

namespace kestrune {

// Loads the settings from settings_file when it opens, saves them there on Exit, and
// reports a conversion run through its StatusSink side.
class CConvertDlg final : public wxDialog, public StatusSink {
 public:
  explicit CConvertDlg(const wxString& settings_file);

  void SetStatus(const char* text) override;
  void ShowError(const char* text) override;
  void ShowInfo(const char* text) override;

  // The menu that stands in for the window menu: the About item.
  std::unique_ptr<wxMenu> CreateSystemMenu() const;

 private:
  void OnInitDialog(wxInitDialogEvent& event);
  void OnOK(wxCommandEvent& event);
  void OnConvert(wxCommandEvent& event);
  void OnBrowseInput(wxCommandEvent& event);
  void OnBrowseIni(wxCommandEvent& event);
  void OnSysCommand(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnCharHook(wxKeyEvent& event);

  void BindHandlers();
  void ShowSettings(const DialogSettings& settings);
  DialogSettings ReadSettings() const;
  void BrowseInto(wxTextCtrl& field, const char* extension);
  void ShowMessage(const char* text, long icon_style);
  void PaintNow();

  wxString m_settingsFile;
  wxIconBundle m_hIcon;
  wxTextCtrl* m_inputFile;
  wxTextCtrl* m_iniFile;
  wxCheckBox* m_backup;
  wxCheckBox* m_embedded;
  wxStaticText* m_status;
};

}  // namespace kestrune
