// What the last load of the part libraries read and showed, so that the next load can keep its
// part table while the INI file and every library it lists are as they were.
#pragma once

#include "engine/capacities.h"
#include "engine/platform/platform.h"

namespace kestrune {

// One library the INI file lists, and how loading it went.
struct LibraryStep {
  char name[kPathBytes];       // as the status shows it: the INI value before its first blank
  char file_name[kPathBytes];  // the file it names; empty when that does not fit
  bool loaded;                 // read to its end
  char reason[kReasonBytes];   // the system's words for why it was not; may be empty
  FileInfo file;               // what was read; kMissing when no such file was there
};

// A load as it went: the INI file's facts, each library's step, the parts it gave. Kept only
// where a fresh load would give the same: every file it read had settled times (a change
// after the read gives other ones), every file it missed was missing, and no read failed.
class KeptLibraries {
 public:
  // Loads with more libraries than this are not kept.
  static constexpr int kSteps = 64;

  // True when the last load was kept for ini_path and each file it read or missed is still
  // there unchanged, or still missing, under the name it was found by.
  bool StillTrue(Platform& files, const char* ini_path) const;

  // Starts recording a load of ini_path: whatever was kept is forgotten. The INI file is
  // described first, so that a change while it is read shows later.
  void Begin(Platform& files, const char* ini_path);
  void SetIniReadable(bool readable, const char* reason);
  char* directory() { return directory_; }
  // The step to fill for the next library; a scratch one, and the load not kept, once
  // kSteps are recorded.
  LibraryStep& NextStep();
  // Records what step's library gave: a loaded file only with settled times, a failed one
  // only when it is missing.
  void Witness(Platform& files, LibraryStep& step);
  // A read of the INI file or a library failed in a way a later load might not repeat.
  void Spoil() { keepable_ = false; }
  void SetOverflowStep(int step) { overflow_step_ = step; }
  // Ends the recording; the load is kept when nothing spoilt it.
  void End(int part_count);

  bool ini_readable() const { return ini_readable_; }
  const char* ini_reason() const { return ini_reason_; }
  // The recorded step of that index; null beyond the last.
  const LibraryStep* Step(int index) const {
    return index < step_count_ ? &steps_[index] : nullptr;
  }
  int overflow_step() const { return overflow_step_; }
  int part_count() const { return part_count_; }

 private:
  bool kept_ = false;
  bool keepable_ = false;
  char ini_path_[kPathBytes] = {};
  FileInfo ini_file_;
  bool ini_readable_ = false;
  char ini_reason_[kReasonBytes] = {};
  char directory_[kPathBytes] = {};
  LibraryStep steps_[kSteps] = {};
  LibraryStep scratch_ = {};
  int step_count_ = 0;
  int overflow_step_ = -1;
  int part_count_ = 0;
};

}  // namespace kestrune
