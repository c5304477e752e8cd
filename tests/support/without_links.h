// Test helper: a file system without hard links, as FAT is, or one that refuses this user's.
#pragma once

#include <cerrno>

#include "engine/platform/platform_wrapper.h"

namespace kestrune::test {

// Every Link fails as Linux fails it there (protected_hardlinks refuses with EPERM too);
// every other call reaches the wrapped platform.
class WithoutLinks : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;

  bool Link(const char* /*existing*/, const char* /*new_name*/) override {
    errno = EPERM;
    return false;
  }
};

}  // namespace kestrune::test
