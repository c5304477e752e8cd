// The main window on Win32: two path fields with Browse buttons, two options, Convert, Exit, status
// line.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <optional>
#include <string>

#include "app/common/convert_dialog_presenter.h"
#include "app/win32/modal_dialog.h"

namespace kestrune {

// Keeps its settings in its store and shows input_file, when given, in the input field; what
// its controls do is the presenter's.
class CConvertDlg final : public CModalDialog, public ConvertDialogView {
 public:
  explicit CConvertDlg(ProfileStore& settings,
                       std::optional<std::string> input_file = std::nullopt);

  void ShowStatus(const char* text) override;
  void ShowMessage(const char* text, MessageKind kind) override;
  void ShowLongMessage(const char* text, MessageKind kind) override;
  void ShowSettings(const DialogSettings& settings) override;
  DialogSettings ReadSettings() const override;
  std::string PathForRun(PathField field) const override;
  // A run's message boxes are modal to the window, which keeps input away meanwhile.
  void WhileBusy(const std::function<void()>& work) override { work(); }
  FieldEncoding PathEncoding() const override { return FieldEncoding::kSingleByte; }
  bool AskForFile(const char* extension, std::string* path) override;
  std::string EnterFolderOf(const std::string& path) override;
  void ShowPath(PathField field, const std::string& path) override;
  void ShowAboutBox() override;
  void Finish(DialogEnd end) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  bool OnCommand(UINT id);
  bool OnEndSession();
  bool OnPaint();
  bool OnDropFiles(HDROP drop);
  void AddAboutItem();
  void ShortenLongStatusTexts();
  bool IsTicked(int id) const;

  ConvertDialogPresenter m_presenter;
  std::optional<std::string> m_givenInputFile;
  HICON m_hIcon;
};

}  // namespace kestrune
