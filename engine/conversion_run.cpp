// The whole Convert command: from two paths and two options to the closing message.
#include "engine/conversion_run.h"

#include "engine/file_names.h"
#include "engine/part_library_loader.h"
#include "engine/run_state.h"
#include "engine/schematic_converter.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

constexpr char kClosingWord[] = "Converted!";

bool Fits(const char* path) { return TextLength(path) < kPathBytes; }

// Every visited row, a line each, then "Converted!"; the buffer holds the longest list.
const char* ClosingText() {
  static char text[kVisitedRows * kVisitedPathBytes + sizeof kClosingWord];
  text[0] = '\0';
  for (const auto& row : VisitedFiles) {
    if (row[0] == '\0') continue;
    AppendText(text, sizeof text, row);
    AppendText(text, sizeof text, "\n");
  }
  AppendText(text, sizeof text, kClosingWord);
  return text;
}

}  // namespace

void RunConversion(StatusSink& sink, const char* inputPath, const char* iniPath, int backups,
                   int embedded) {
  ResetVisited();
  CreateBackups = backups;
  ConvertEmbedded = embedded;
  if (Fits(iniPath)) {
    LoadPartLibraries(sink, iniPath);
  } else {
    ResetParts();
    sink.ShowError("ERROR: INI file path is too long!");
  }
  if (Fits(inputPath)) {
    ConvertFile(sink, inputPath);
  } else {
    sink.ShowError("ERROR: Input file path is too long!");
  }
  sink.ShowInfo(ClosingText());
  sink.SetStatus("Status: Idle");
}

}  // namespace kestrune
