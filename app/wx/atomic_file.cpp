// Replaces a file's whole contents so that, at every instant, it holds the old or the new bytes.
#include "app/wx/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kestrune {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// So that the rename itself survives a crash.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// As many links as the system itself follows in one path.
constexpr int kMostLinksFollowed = 40;

// The name that path finally stands for: path itself, or the target its links lead to,
// which need not exist yet. False for a loop of links or a name that cannot be read.
bool FinalName(std::string path, std::string* name) {
  for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target);
    if (length < 0) {
      if (errno != EINVAL && errno != ENOENT) return false;  // EINVAL: not a link
      *name = path;
      return true;
    }
    if (static_cast<std::size_t>(length) == sizeof target) return false;
    const std::string next(target, static_cast<std::size_t>(length));
    path = next[0] == '/' ? next : FolderOf(path) + "/" + next;
  }
  return false;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
  std::string target;
  if (!FinalName(path, &target)) return false;
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  // A file that was there keeps its permissions; a new one is its owner's alone.
  struct stat old_file;
  if (stat(target.c_str(), &old_file) == 0) fchmod(fd, old_file.st_mode & 07777);
  const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

}  // namespace kestrune
