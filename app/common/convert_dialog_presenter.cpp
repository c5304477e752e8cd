// The main window's behaviour under every toolkit: start-up, Convert, Exit, cancel, Browse, About.
#include "app/common/convert_dialog_presenter.h"

#include "res/resource.h"

namespace kestrune {

namespace {

// The window menu's commands keep their low four bits for the system's own use.
constexpr unsigned kSystemCommandMask = 0xFFF0;

const char* ExtensionOf(PathField field) { return field == PathField::kInput ? "SCH" : "INI"; }

int LineCount(const char* text) {
  int lines = 1;
  for (const char* at = text; *at != '\0'; ++at) lines += *at == '\n';
  return lines;
}

}  // namespace

void ConvertDialogPresenter::OnStart(const std::optional<std::string>& input_file) {
  DialogSettings shown = LoadSettings(settings_);
  // As a pick would: the file's nested files and relative library paths resolve from its
  // folder, whichever folder the program was started from.
  if (input_file) shown.input_file = view_.EnterFolderOf(*input_file);
  view_.ShowSettings(shown);
}

void ConvertDialogPresenter::OnConvert() {
  const DialogSettings shown = view_.ReadSettings();
  const ConvertRequest request = MakeConvertRequest(
      view_.PathForRun(PathField::kInput).c_str(), view_.PathForRun(PathField::kIni).c_str(),
      view_.PathEncoding(), shown.backups, shown.embedded);
  view_.WhileBusy([&] { RunConvertCommand(*this, request); });
}

void ConvertDialogPresenter::OnExit() {
  SaveSettings(settings_, view_.ReadSettings());
  if (!settings_.Flush()) {
    ShowBox(kSettingsNotSavedText, MessageKind::kError);
    return;
  }
  view_.Finish(DialogEnd::kExit);
}

void ConvertDialogPresenter::OnCancel() { view_.Finish(DialogEnd::kCancel); }

void ConvertDialogPresenter::OnBrowse(PathField field) {
  std::string path;
  if (view_.AskForFile(ExtensionOf(field), &path)) ShowChosenFile(field, path);
}

void ConvertDialogPresenter::OnFilesDropped(PathField field,
                                            const std::vector<std::string>& paths) {
  // One field holds one path; a run converts one file.
  if (!paths.empty()) ShowChosenFile(field, paths.front());
}

void ConvertDialogPresenter::ShowChosenFile(PathField field, const std::string& path) {
  view_.ShowPath(field, view_.EnterFolderOf(path));
}

// A closing text lists every file visited, which a plain box grows to show, past the screen.
void ConvertDialogPresenter::ShowBox(const char* text, MessageKind kind) {
  if (LineCount(text) > kLongMessageLines) {
    view_.ShowLongMessage(text, kind);
  } else {
    view_.ShowMessage(text, kind);
  }
}

bool ConvertDialogPresenter::OnSystemCommand(unsigned command) {
  if ((command & kSystemCommandMask) != IDM_ABOUTBOX) return false;
  view_.ShowAboutBox();
  return true;
}

}  // namespace kestrune
