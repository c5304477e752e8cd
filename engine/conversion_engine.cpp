// The whole Convert command: from two paths and two options to the closing message.
#include "engine/conversion_engine.h"

#include "engine/file_names.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

bool Fits(const char* path) { return TextLength(path) < kPathBytes; }

}  // namespace

void ConversionEngine::StartRun(bool backups, bool embedded) {
  visited_.ResetVisited();
  command_backups_.ResetBackups();
  error_shown_ = false;
  stopped_ = false;
  create_backups_ = backups;
  convert_embedded_ = embedded;
}

void ConversionEngine::RunConversion(const char* inputPath, const char* iniPath, int backups,
                                     int embedded) {
  StartRun(backups != 0, embedded != 0);
  if (Fits(iniPath)) {
    LoadPartLibraries(iniPath);
  } else {
    parts_.ResetParts();
    ShowError("ERROR: INI file path is too long!");
  }
  if (inputPath[0] == '\0') {
    ShowError("ERROR: No input file given!");
  } else if (Fits(inputPath)) {
    ConvertFile(inputPath);
  } else {
    ShowError("ERROR: Input file path is too long!");
  }
  if (stopped_) return;
  sink_.ShowInfo(ClosingText());
  sink_.SetStatus("Status: Idle");
}

// The buffer holds the longest message, a line feed and the longest path.
void ConversionEngine::ShowError(const char* text, const char* path) {
  error_shown_ = true;
  if (path == nullptr) {
    sink_.ShowError(text);
    return;
  }
  error_text_[0] = '\0';
  AppendText(error_text_, sizeof error_text_, text);
  AppendText(error_text_, sizeof error_text_, "\n");
  AppendText(error_text_, sizeof error_text_, path);
  sink_.ShowError(error_text_);
}

void ConversionEngine::ShowFailure(const char* text, const char* path) {
  char reason[kReasonBytes];
  platform_.TakeFailureReason(reason, sizeof reason);
  ShowReasoned(reason, text, path);
}

void ConversionEngine::ShowReasoned(const char* reason, const char* text, const char* path) {
  if (reason[0] != '\0') sink_.ErrorReason(reason);
  ShowError(text, path);
}

// The buffer holds the longest list.
const char* ConversionEngine::ClosingText() {
  closing_text_[0] = '\0';
  for (int row = 0; row < kVisitedRows; ++row) {
    if (visited_.Row(row)[0] == '\0') continue;
    AppendText(closing_text_, sizeof closing_text_, visited_.Row(row));
    AppendText(closing_text_, sizeof closing_text_, "\n");
  }
  AppendText(closing_text_, sizeof closing_text_, error_shown_ ? kFailedWord : kConvertedWord);
  return closing_text_;
}

}  // namespace kestrune
