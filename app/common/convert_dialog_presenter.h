// The main window's behaviour under every toolkit: start-up, Convert, Exit, cancel, Browse, About.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/common/convert_dialog_view.h"
#include "app/common/settings_schema.h"
#include "engine/status_sink.h"

namespace kestrune {

// The error box of an Exit whose settings could not be saved; the window then stays open.
constexpr char kSettingsNotSavedText[] = "ERROR: Unable to save the settings!";

// A box's text of more lines than this is shown scrolled, in a box that fits the screen.
constexpr int kLongMessageLines = 15;

// A run reports through it to the window.
class ConvertDialogPresenter final : private StatusSink {
 public:
  ConvertDialogPresenter(ConvertDialogView& view, ProfileStore& settings)
      : view_(view), settings_(settings) {}

  // The window has opened: it shows the stored settings, or the defaults, with the input
  // field holding input_file's full path instead when one was named on the command line,
  // whose folder then becomes the current directory, as after a pick.
  void OnStart(const std::optional<std::string>& input_file = std::nullopt);
  // Runs the conversion the fields and boxes describe, reporting to the window.
  void OnConvert();
  // Exit, also Enter in a field: saves what the window shows, then ends it; when the save
  // fails, says so and keeps the window, so that nothing the user set is lost unseen.
  void OnExit();
  // Esc, the close box and the window menu's Close: ends the window, saving nothing.
  void OnCancel();
  // A Browse button: a picked file's path goes into the field beside it, and its folder
  // becomes the current directory.
  void OnBrowse(PathField field);
  // Files dropped on the window: the first one is taken as a pick for field, the INI field
  // when they fell on it, else the input field.
  void OnFilesDropped(PathField field, const std::vector<std::string>& paths);
  // A window-menu command; true when it was the About item, whose box has been shown.
  bool OnSystemCommand(unsigned command);

 private:
  void SetStatus(const char* text) override { view_.ShowStatus(text); }
  void ShowError(const char* text) override { ShowBox(text, MessageKind::kError); }
  void ShowInfo(const char* text) override { ShowBox(text, MessageKind::kNotice); }
  void ShowBox(const char* text, MessageKind kind);
  void ShowChosenFile(PathField field, const std::string& path);

  ConvertDialogView& view_;
  ProfileStore& settings_;
};

}  // namespace kestrune
