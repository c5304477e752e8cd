// Test helper: the folder a suite converts its trees in, made the current directory.
#pragma once

#include <filesystem>
#include <memory>

#include "tests/reliability/tmpfs_mount.h"

namespace kestrune::test {

// A tmpfs under the scratch folder where one can be mounted, since thousands of runs that
// each sync their files would otherwise wait on the disk; else the scratch folder itself.
// What is checked does not depend on which it is: no fault here comes from the file system.
class Workspace {
 public:
  explicit Workspace(const std::filesystem::path& scratch);
  const std::filesystem::path& path() const { return path_; }

 private:
  std::unique_ptr<TmpfsMount> mount_;
  std::filesystem::path path_;
};

}  // namespace kestrune::test
