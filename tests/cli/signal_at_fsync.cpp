// Test helper preloaded into kestrune-cli: the run's first fsync, made while its temporary files
// are there, first sends the process the signal that KESTRUNE_TEST_FSYNC_SIGNAL names, then
// goes on. With KESTRUNE_TEST_FSYNC_TOGETHER=N the first N fsyncs (one per worker converting
// at once) wait until all N have come, the last sends the signal, and none of them returns:
// workers held in a flush that does not end.
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

extern "C" int fsync(int fd) {
  static std::atomic<int> arrived{0};
  const char* signal_number = std::getenv("KESTRUNE_TEST_FSYNC_SIGNAL");
  const char* together = std::getenv("KESTRUNE_TEST_FSYNC_TOGETHER");
  const int wanted = together != nullptr ? std::atoi(together) : 1;
  if (signal_number != nullptr) {
    const int arrival = arrived.fetch_add(1) + 1;
    // To the process, not this thread: workers leave the signals to the main thread.
    if (arrival == wanted) kill(getpid(), std::atoi(signal_number));
    if (arrival <= wanted && wanted > 1) {
      for (;;) pause();
    }
  }
  using Fsync = int (*)(int);
  static const auto real_fsync = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
  return real_fsync(fd);
}
