// bench_copy_loop: the plainest durable copy, read and write in a loop and fsync, the limit a
// line filter is measured against.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

constexpr int kChunkBytes = 1 << 17;  // what cp uses on this system

bool WriteAll(int fd, const char* data, ssize_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, static_cast<size_t>(size));
    if (put <= 0) return false;
    data += put;
    size -= put;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_copy_loop FROM TO\n");
    return 2;
  }
  const int in = open(argv[1], O_RDONLY);
  const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (in < 0 || out < 0) {
    std::perror("bench_copy_loop");
    return 1;
  }
  static char chunk[kChunkBytes];
  ssize_t got;
  while ((got = read(in, chunk, sizeof chunk)) > 0) {
    if (!WriteAll(out, chunk, got)) got = -1;
    if (got < 0) break;
  }
  const bool ok = got == 0 && fsync(out) == 0 && close(out) == 0;
  close(in);
  if (!ok) std::perror("bench_copy_loop");
  return ok ? 0 : 1;
}
