// The process-wide tables one conversion run shares: visited files, part table, options.
#pragma once

namespace kestrune {

constexpr int kVisitedRows = 100;
constexpr int kVisitedPathBytes = 200;  // every path a Convert command can deliver fits
constexpr int kPartRows = 1000;
constexpr int kPartNameBytes = 20;
constexpr int kPartDefaultBytes = 200;

struct PartEntry {
  char Name[kPartNameBytes];
  char Default[kPartDefaultBytes];
};

extern char VisitedFiles[kVisitedRows][kVisitedPathBytes];
extern int VisitedCount;
extern PartEntry PartTable[kPartRows];
extern int CreateBackups;
extern int ConvertEmbedded;

void ResetVisited();
// True when any row, in use or not, equals the path ignoring ASCII case; an empty
// path therefore always counts as visited.
bool IsVisited(const char* path);
// Appends the path; false, with the table unchanged, when it is full or the path
// does not fit a row. A path that was not recorded must not be converted.
bool RecordVisited(const char* path);

void ResetParts();
// Both return false, leaving the row unchanged, when the row or the text does not fit.
bool SetPartName(int row, const char* text);
bool SetPartDefault(int row, const char* text);
// The Default of the first row whose Name equals the name ignoring ASCII case; the
// first row with an empty Name ends the search. Null when nothing matches. Names are
// written through ResetParts and SetPartName only, which keep the lookup's index current.
const char* FindPart(const char* name);

}  // namespace kestrune
