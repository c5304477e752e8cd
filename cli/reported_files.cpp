// The files a command line has reported.
#include "cli/reported_files.h"

#include "cli/native_path.h"

namespace kestrune {
namespace {

int Rank(FileOutcome outcome) {
  switch (outcome) {
    case FileOutcome::kConverted: return 2;
    case FileOutcome::kAlreadyOld: return 1;
    case FileOutcome::kNotConverted: break;
  }
  return 0;
}

}  // namespace

ReportedFiles::Visit ReportedFiles::Record(const std::string& path, FileOutcome outcome) {
  const auto [found, first] = files_.try_emplace(CanonicalName(path), File{path, outcome});
  File& file = found->second;
  const bool better = Rank(outcome) > Rank(file.best);
  if (better) file.best = outcome;
  return Visit{file.spelling, first || better};
}

int ReportedFiles::Count(FileOutcome outcome) const {
  int count = 0;
  for (const auto& entry : files_) count += entry.second.best == outcome ? 1 : 0;
  return count;
}

}  // namespace kestrune
