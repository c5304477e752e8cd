// Records a load of the part libraries and tells whether its files are still as it found them.
#include "engine/kept_libraries.h"

#include <cstring>

#include "engine/text_util.h"

namespace kestrune {
namespace {

// Describes the file that path is found as now, as a load finds it: its real name, then that.
bool Describe(Platform& files, const char* path, FileInfo* info) {
  char real_name[kNativePathBytes];  // a link's target may be longer than the path
  *info = FileInfo{};
  return files.RealName(path, real_name, sizeof real_name) && files.Query(real_name, info);
}

// True when path is found now as then described it: the same file unchanged, or none. A name
// that names a file as spelled, not through a link, is its own real name, so one question
// answers for most names.
bool FoundAsBefore(Platform& files, const char* path, const FileInfo& then) {
  FileInfo now;
  if (then.kind != FileKind::kMissing && files.Query(path, &now) && !now.is_link &&
      Unchanged(then, now)) {
    return true;
  }
  if (!Describe(files, path, &now)) return false;
  return then.kind == FileKind::kMissing ? now.kind == FileKind::kMissing : Unchanged(then, now);
}

// A name without a folder is looked for where the system keeps its INI files, which only the
// platform's INI reader knows.
bool HasFolder(const char* path) {
  return std::strchr(path, '\\') != nullptr || std::strchr(path, '/') != nullptr;
}

}  // namespace

bool KeptLibraries::StillTrue(Platform& files, const char* ini_path) const {
  if (!kept_ || std::strcmp(ini_path, ini_path_) != 0) return false;
  if (!FoundAsBefore(files, ini_path_, ini_file_)) return false;
  for (int index = 0; index < step_count_; ++index) {
    const LibraryStep& step = steps_[index];
    if (step.file_name[0] != '\0' && !FoundAsBefore(files, step.file_name, step.file)) {
      return false;
    }
  }
  return true;
}

void KeptLibraries::Begin(Platform& files, const char* ini_path) {
  kept_ = false;
  step_count_ = 0;
  overflow_step_ = -1;
  keepable_ = HasFolder(ini_path) && CopyText(ini_path_, sizeof ini_path_, ini_path) &&
              Describe(files, ini_path, &ini_file_) &&
              (ini_file_.kind == FileKind::kMissing ||
               (ini_file_.kind == FileKind::kRegular && files.TimesSettled(ini_file_)));
}

void KeptLibraries::SetIniReadable(bool readable, const char* reason) {
  ini_readable_ = readable;
  CopyText(ini_reason_, sizeof ini_reason_, reason);
  if (readable != (ini_file_.kind == FileKind::kRegular)) keepable_ = false;
}

LibraryStep& KeptLibraries::NextStep() {
  LibraryStep* step = &scratch_;
  if (step_count_ < kSteps) {
    step = &steps_[step_count_++];
  } else {
    keepable_ = false;
  }
  *step = LibraryStep{};
  return *step;
}

void KeptLibraries::Witness(Platform& files, LibraryStep& step) {
  if (step.loaded) {
    if (step.file.kind != FileKind::kRegular || !files.TimesSettled(step.file)) keepable_ = false;
  } else if (step.file_name[0] != '\0') {
    if (!Describe(files, step.file_name, &step.file) || step.file.kind != FileKind::kMissing) {
      keepable_ = false;
    }
  }
}

void KeptLibraries::End(int part_count) {
  part_count_ = part_count;
  kept_ = keepable_;
}

}  // namespace kestrune
