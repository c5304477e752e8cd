// The main window: two path fields with Browse buttons, two options, Convert, Exit, status line.
#pragma once

#include "app/settings_schema.h"
#include "app/win32/modal_dialog.h"
#include "engine/status_sink.h"

namespace kestrune {

// Loads the settings from its store when it opens, saves them there on Exit, and reports
// a conversion run through its StatusSink side.
class CConvertDlg final : public CModalDialog, public StatusSink {
 public:
  explicit CConvertDlg(ProfileStore& settings);

  void SetStatus(const char* text) override;
  void ShowError(const char* text) override;
  void ShowInfo(const char* text) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  bool OnSysCommand(UINT id);
  bool OnPaint();
  HICON OnQueryDragIcon() const;
  void OnConvert();
  void OnBrowseInput();
  void OnBrowseIni();

  void AddAboutItem();
  void ShowSettings(const DialogSettings& settings);
  DialogSettings ReadSettings() const;
  void BrowseInto(int field_id, const char* extension);
  bool IsTicked(int id) const;

  ProfileStore& m_settings;
  HICON m_hIcon;
};

}  // namespace kestrune
