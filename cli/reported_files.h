// The files a command line has reported: each under one spelling, with the best of its outcomes.
#pragma once

#include <map>
#include <string>

#include "engine/status_sink.h"

namespace kestrune {

// Each Convert command has a visited list of its own, so a file that several commands reach
// (a nested file that many files share, also named in the folder) is reported by each. Two
// paths are one file when their canonical names agree (cli/native_path.h): names, unlike file
// identities, stay when a converted file's temporary file is renamed over it.
class ReportedFiles {
 public:
  struct Visit {
    std::string spelling;  // the path the file was first reported by
    bool news;  // the file's first report, or one that ends better than every earlier one
  };
  // Records what one visit of path ended in. Converted is best, then already at 6.1.
  Visit Record(const std::string& path, FileOutcome outcome);
  // How many files are at outcome, each counted once, at its best.
  int Count(FileOutcome outcome) const;

 private:
  struct File {
    std::string spelling;
    FileOutcome best;
  };
  std::map<std::string, File> files_;  // by canonical name
};

}  // namespace kestrune
