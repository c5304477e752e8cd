// Test helper: a small tmpfs mounted for the lifetime of the object.
#include "tests/reliability/tmpfs_mount.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace kestrune::test {
namespace {

// Mounts go into a mount namespace of this process alone, so that a test killed from outside
// (a timeout) leaves no mount behind: the namespace goes with the process.
void KeepMountsPrivate() {
  static const bool done =
      unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  (void)done;
}

}  // namespace

TmpfsMount::TmpfsMount(std::filesystem::path where, const std::string& options, const char* type)
    : where_(std::move(where)) {
  std::error_code ignored;
  std::filesystem::create_directories(where_, ignored);
  KeepMountsPrivate();
  mounted_ = mount(type, where_.c_str(), type, MS_NOSUID | MS_NODEV, options.c_str()) == 0;
  if (!mounted_) error_ = std::string("mount of a ") + type + " failed: " + std::strerror(errno);
}

TmpfsMount::~TmpfsMount() {
  if (mounted_) umount2(where_.c_str(), MNT_DETACH);
}

}  // namespace kestrune::test
