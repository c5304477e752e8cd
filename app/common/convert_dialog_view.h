// What the main window's behaviour needs of a toolkit's window: its controls, its boxes, its end.
#pragma once

#include <functional>
#include <string>

#include "app/common/convert_command.h"
#include "app/common/settings_schema.h"

namespace kestrune {

// The caption of every message box the main window shows.
constexpr char kMessageCaption[] = "Convert";

// The name of the filter every file picker offers beside its own, for names of any extension.
constexpr char kAllFilesFilterName[] = "All files (*.*)";

enum class PathField { kInput, kIni };

// How the window ends: Exit (its settings saved) or cancelled (nothing saved).
enum class DialogEnd { kExit, kCancel };

// An error box shows the stop icon, a notice none.
enum class MessageKind { kError, kNotice };

class ConvertDialogView {
 public:
  virtual ~ConvertDialogView() = default;
  // The status line's text, painted at once.
  virtual void ShowStatus(const char* text) = 0;
  // A box with an OK button, modal to the window and captioned kMessageCaption.
  virtual void ShowMessage(const char* text, MessageKind kind) = 0;
  // The same for a text too long for a plain box: no larger than the screen's work area,
  // the text scrolling inside it and the OK button always on the screen.
  virtual void ShowLongMessage(const char* text, MessageKind kind) = 0;
  // Fills the two fields and the two boxes.
  virtual void ShowSettings(const DialogSettings& settings) = 0;
  // What the fields and boxes hold, the texts whole and as the settings store keeps them.
  virtual DialogSettings ReadSettings() const = 0;
  // A path field's whole text as the file system names files, in PathEncoding.
  virtual std::string PathForRun(PathField field) const = 0;
  virtual FieldEncoding PathEncoding() const = 0;
  // Does work while the window takes no user input, only repaints.
  virtual void WhileBusy(const std::function<void()>& work) = 0;
  // Asks, modal to the window, for a file with the extension ("SCH") or, through a second
  // filter, of any name (kAllFilesFilterName), which need not exist
  // yet; true with its full path when one was chosen, a name without extension completed
  // with that one.
  virtual bool AskForFile(const char* extension, std::string* path) = 0;
  // Makes the folder of the file at path (relative names taken from the current directory)
  // the current directory, where the converter resolves relative names; the file's full
  // path, so that it still names the file from there. The directory stays when the folder
  // cannot be entered.
  virtual std::string EnterFolderOf(const std::string& path) = 0;
  virtual void ShowPath(PathField field, const std::string& path) = 0;
  // Shows the About box modal to the window, until it is closed.
  virtual void ShowAboutBox() = 0;
  virtual void Finish(DialogEnd end) = 0;
};

}  // namespace kestrune
