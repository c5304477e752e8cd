// Test helper preloaded into kestrune-cli: counts the folder listings it completes (its
// getdents64 calls that reach the end) and writes the count to the file that
// KESTRUNE_TEST_COUNTS names when the program ends.
#include <dlfcn.h>
#include <sys/syscall.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<int> listings{0};

struct Report {
  ~Report() {
    const char* file = std::getenv("KESTRUNE_TEST_COUNTS");
    if (file == nullptr) return;
    if (std::FILE* out = std::fopen(file, "w")) {
      std::fprintf(out, "listings %d\n", listings.load());
      std::fclose(out);
    }
  }
} report;

}  // namespace

// Forwards six arguments whatever the call takes, as the C library's own syscall does.
extern "C" long syscall(long number, ...) {
  va_list arguments;
  va_start(arguments, number);
  long a[6];
  for (long& argument : a) argument = va_arg(arguments, long);
  va_end(arguments);
  using Syscall = long (*)(long, ...);
  static const Syscall real = reinterpret_cast<Syscall>(dlsym(RTLD_NEXT, "syscall"));
  const long result = real(number, a[0], a[1], a[2], a[3], a[4], a[5]);
  if (number == SYS_getdents64 && result == 0) ++listings;
  return result;
}
