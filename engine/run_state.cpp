// The process-wide tables of a conversion run and their plain operations.
#include "engine/run_state.h"

#include <cstring>

#include "engine/text_util.h"

namespace kestrune {

char VisitedFiles[kVisitedRows][kVisitedPathBytes];
int VisitedCount;
PartEntry PartTable[kPartRows];
int CreateBackups;
int ConvertEmbedded;

void ResetVisited() {
  VisitedCount = 0;
  for (auto& row : VisitedFiles) row[0] = '\0';
}

bool IsVisited(const char* path) {
  for (const auto& row : VisitedFiles) {
    if (EqualsIgnoreCase(row, path)) return true;
  }
  return false;
}

bool RecordVisited(const char* path) {
  if (VisitedCount < 0 || VisitedCount >= kVisitedRows) return false;
  if (!CopyText(VisitedFiles[VisitedCount], kVisitedPathBytes, path)) return false;
  ++VisitedCount;
  return true;
}

void ResetParts() { std::memset(PartTable, 0, sizeof PartTable); }

namespace {

bool SetField(int row, char* (*field)(PartEntry&), std::size_t capacity, const char* text) {
  if (row < 0 || row >= kPartRows || TextLength(text) >= capacity) return false;
  return CopyText(field(PartTable[row]), capacity, text);
}

char* NameOf(PartEntry& entry) { return entry.Name; }
char* DefaultOf(PartEntry& entry) { return entry.Default; }

}  // namespace

bool SetPartName(int row, const char* text) { return SetField(row, NameOf, kPartNameBytes, text); }

bool SetPartDefault(int row, const char* text) {
  return SetField(row, DefaultOf, kPartDefaultBytes, text);
}

const char* FindPart(const char* name) {
  for (const auto& entry : PartTable) {
    if (entry.Name[0] == '\0') return nullptr;
    if (EqualsIgnoreCase(entry.Name, name)) return entry.Default;
  }
  return nullptr;
}

}  // namespace kestrune
