// Test helper preloaded into kestrune-cli: the run's first fsync, made while its temporary files
// are there, first raises the signal that KESTRUNE_TEST_FSYNC_SIGNAL names.
#include <dlfcn.h>
#include <signal.h>

#include <cstdlib>

extern "C" int fsync(int fd) {
  static bool raised = false;
  const char* signal_number = std::getenv("KESTRUNE_TEST_FSYNC_SIGNAL");
  if (!raised && signal_number != nullptr) {
    raised = true;
    raise(std::atoi(signal_number));
  }
  using Fsync = int (*)(int);
  static const auto real_fsync = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
  return real_fsync(fd);
}
