// Test helper: the folder a suite converts its trees in.
#include "tests/reliability/workspace.h"

#include <unistd.h>

namespace kestrune::test {

Workspace::Workspace(const std::filesystem::path& scratch) : path_(scratch) {
  if (geteuid() == 0) {
    mount_ = std::make_unique<TmpfsMount>(scratch / "workspace", "size=256m,mode=0755");
    if (mount_->mounted()) path_ = mount_->path();
  }
  std::filesystem::current_path(path_);
}

}  // namespace kestrune::test
