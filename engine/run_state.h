// The tables one conversion run fills and reads: the files it visited and the parts the libraries
// name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/capacities.h"
#include "engine/platform/platform.h"

namespace kestrune {

// Every file visited in the current run, in the order of its first visit, with the file
// each path named.
class VisitedFiles {
 public:
  void ResetVisited();
  // True when any row, in use or not, holds the path byte for byte: it was visited under
  // this very name. An empty path therefore always counts as visited.
  bool IsVisited(const char* path) const;
  // True when the file that path names now was visited, under any name; for a path that
  // names no file, when any row equals the path ignoring ASCII case.
  bool IsVisited(const char* path, const FileInfo& file) const;
  // Appends the path with the file it names (none by default); false, with the table
  // unchanged, when it is full or the path does not fit a row. A path that was not recorded
  // must not be converted.
  bool RecordVisited(const char* path, const FileInfo& file = FileInfo{});
  // The file that row's path names has been replaced by file, its converted contents.
  void Reidentify(int row, const FileInfo& file) { files_[row] = file; }
  int VisitedCount() const { return count_; }
  // The path in row (empty for a row not in use).
  const char* Row(int row) const { return rows_[row]; }

 private:
  char rows_[kVisitedRows][kPathBytes] = {};
  FileInfo files_[kVisitedRows];
  int count_ = 0;
};

// The backups made so far, by file identity, so that a later file whose backup name is taken
// never removes or replaces one. An engine keeps one for each Convert command; a front end
// whose runs must keep apart for longer (a command line, a dialog's session) gives each of
// its engines the same one.
class RunBackups {
 public:
  // False when the backup cannot be recorded: it must then not stay.
  virtual bool RecordBackup(const FileInfo& backup) = 0;
  virtual bool MadeThisRun(const FileInfo& file) const = 0;

 protected:
  ~RunBackups() = default;
};

// The backups of one Convert command; each visited file makes one at most.
class CommandBackups final : public RunBackups {
 public:
  void ResetBackups() { count_ = 0; }
  bool RecordBackup(const FileInfo& backup) override;
  bool MadeThisRun(const FileInfo& file) const override;

 private:
  FileInfo made_[kVisitedRows];
  int count_ = 0;
};

struct PartEntry {
  char Name[kPartNameBytes];
  char Default[kPathBytes];
};

// What the symbol libraries say about each part, in the order they were read. Rows are
// written through its operations only, which keep the lookup's index current.
class PartTable {
 public:
  void ResetParts();
  // Both return false, leaving the row unchanged, when the row or the text does not fit.
  bool SetPartName(int row, const char* text);
  bool SetPartDefault(int row, const char* text);
  // The Default of the first row whose Name equals the name ignoring ASCII case; the
  // first row with an empty Name ends the search. Null when nothing matches.
  const char* FindPart(const char* name);
  // The same for the name made of the first length bytes of name, or of those before a
  // NUL byte among them.
  const char* FindPart(const char* name, std::size_t length);
  const PartEntry& Row(int row) const { return rows_[row]; }

 private:
  // Every lookup of a "PART=" line goes through an index over the reachable rows, so that
  // it costs a few probes instead of a scan of the whole table. It maps the folded name to
  // the first row bearing it and is rebuilt on the first lookup after a name changes. Each
  // slot keeps a tag of its name's hash too, so that a probe compares names only when tags
  // agree.
  static constexpr std::size_t kIndexSlots = 4096;  // a power of two, four times kPartRows
  struct IndexSlot {
    std::int16_t row;
    std::uint16_t tag;
  };

  // The Default for the size bytes of name, none of them NUL.
  const char* FindName(const char* name, std::size_t size);
  std::size_t SlotOf(const char* name, std::size_t length) const;
  void BuildIndex();
  bool SetField(int row, char* (*field)(PartEntry&), std::size_t capacity, const char* text);

  PartEntry rows_[kPartRows] = {};
  IndexSlot index_[kIndexSlots] = {};
  bool index_current_ = false;
};

}  // namespace kestrune
