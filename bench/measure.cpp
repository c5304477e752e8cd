// bench_measure: runs one command and prints its wall-clock seconds, its peak resident memory
// (KiB, the largest of the command and everything it waited for) and its CPU seconds.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_measure COMMAND [ARG...]\n");
    return 2;
  }
  const double start = Now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[1], argv + 1);
    std::perror(argv[1]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) {
    std::perror("bench_measure");
    return 1;
  }
  const double seconds = Now() - start;
  const double cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  std::printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss, cpu);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
