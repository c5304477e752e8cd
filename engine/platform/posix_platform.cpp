// The platform layer on POSIX systems: Windows-form paths mapped, then plain system calls.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/platform/ini_reader.h"
#include "engine/platform/platform.h"
#include "engine/platform/run_lock.h"
#include "engine/platform/windows_path_on_posix.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

// The POSIX name of a Windows-form path as spelled, held on the stack; a path that cannot be
// mapped fails the call that needed it.
class MappedPath {
 public:
  explicit MappedPath(const char* text) : mapped_(MapWindowsPath(text, name_, sizeof name_)) {}
  bool ok() const { return mapped_; }
  const char* name() const { return name_; }
  char* name() { return name_; }

 private:
  char name_[PATH_MAX];
  bool mapped_;
};

int Descriptor(FileHandle file) { return static_cast<int>(file); }

// The errno of the last call of this thread that failed, 0 once taken: kept per thread, as
// errno itself is, so that runs on other threads neither see nor change it.
thread_local int last_failure = 0;

// Keeps error as this thread's last failure and gives back the call's failure result.
template <typename Result>
Result Failed(Result result, int error = errno) {
  last_failure = error;
  return result;
}

// strerror_r's result in either of its forms: GNU's text, or XSI's status with the text in
// the buffer.
[[maybe_unused]] const char* ErrorText(const char* gnu_text, const char* /*buffer*/) {
  return gnu_text;
}
[[maybe_unused]] const char* ErrorText(int xsi_status, const char* buffer) {
  return xsi_status == 0 ? buffer : "Unknown error";
}

bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

std::uint64_t Nanoseconds(const struct timespec& time) {
  return static_cast<std::uint64_t>(time.tv_sec) * 1000000000u +
         static_cast<std::uint64_t>(time.tv_nsec);
}

// Fills all of info but is_link from a stat result.
void Describe(const struct stat& status, FileInfo* info) {
  info->kind = KindOf(status.st_mode);
  info->device = status.st_dev;
  info->index = status.st_ino;
  info->mode = status.st_mode & 07777;
  info->owner = status.st_uid;
  info->group = status.st_gid;
  info->size = static_cast<std::uint64_t>(status.st_size);
  info->modified = Nanoseconds(status.st_mtim);
  info->changed = Nanoseconds(status.st_ctim);
}

// Makes a rename into the directory of path survive a crash. Some file systems refuse to
// sync a directory; the rename has happened all the same, so that is not reported.
void SyncDirectoryOf(char* path) {
  char* slash = std::strrchr(path, '/');
  const char* directory = ".";
  if (slash != nullptr) {
    slash[slash == path ? 1 : 0] = '\0';
    directory = path;
  }
  const int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// A large file is handed to the disk while it is still being written, a window at a time,
// so that the final fsync waits for the last window only. When a write fills a window, that
// window is started; the one before it is waited for and dropped from the page cache,
// since a converted file is not read again soon. All of it is advice: errors surface in
// the fsync that makes the file durable.
constexpr off_t kWriteBackWindow = 8 << 20;

void StartWriteBack(int fd, std::size_t just_written) {
  static_assert((kWriteBackWindow & (kWriteBackWindow - 1)) == 0, "a power of two");
  const off_t written = lseek(fd, 0, SEEK_CUR);
  if (written < kWriteBackWindow) return;  // also when the position is unknown
  const off_t filled = written & ~(kWriteBackWindow - 1);
  if (written - static_cast<off_t>(just_written) >= filled) return;
  const off_t window = filled - kWriteBackWindow;
  sync_file_range(fd, window, kWriteBackWindow, SYNC_FILE_RANGE_WRITE);
  if (window >= kWriteBackWindow) {
    const off_t done = window - kWriteBackWindow;
    sync_file_range(
        fd, done, kWriteBackWindow,
        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    posix_fadvise(fd, done, kWriteBackWindow, POSIX_FADV_DONTNEED);
  }
}

// Puts a descriptor of the same file open for writing in the place of a read-only one, where
// the user may write the file: only then can the record lock below be a write lock, which
// also keeps out a read lock (Wine takes one for a file opened only to be read). Opening for
// writing changes nothing in the file; O_NONBLOCK keeps a lease held elsewhere from making
// the open wait. False where the descriptor stays as it was.
bool ReopenForWriting(int fd) {
  char name[32];
  std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
  const int writable = open(name, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (writable < 0) return false;
  struct stat before;
  struct stat after;
  const off_t position = lseek(fd, 0, SEEK_CUR);
  const bool replaced = fstat(fd, &before) == 0 && fstat(writable, &after) == 0 &&
                        before.st_dev == after.st_dev && before.st_ino == after.st_ino &&
                        position >= 0 && lseek(writable, position, SEEK_SET) == position &&
                        dup3(writable, fd, O_CLOEXEC) == fd;
  close(writable);
  return replaced;
}

// An open-file-description lock on the run's byte: it belongs to the open file, as the BSD
// lock does, and conflicts with the classic record locks through which Wine's server keeps
// Windows programs' byte-range locks. Where the kernel or the file system has no such
// locks, the BSD lock stands alone.
LockOutcome LockRunByte(int fd, bool writable) {
  struct flock range {};
  range.l_type = writable ? F_WRLCK : F_RDLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(kRunLockOffset);
  range.l_len = 1;
  int result;
  do {
    result = fcntl(fd, F_OFD_SETLK, &range);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    if (errno == EAGAIN || errno == EACCES) return LockOutcome::kHeldElsewhere;
    return errno == EINVAL || errno == ENOLCK || errno == EOPNOTSUPP ? LockOutcome::kLocked
                                                                     : LockOutcome::kFailed;
  }
  if (writable) return LockOutcome::kLocked;
  // A read lock keeps out writers' locks only; a reader's lock held elsewhere (a Windows
  // run's on a file that it may not write either) shows when a write lock is asked about.
  range.l_type = F_WRLCK;
  if (fcntl(fd, F_OFD_GETLK, &range) != 0) return LockOutcome::kFailed;
  return range.l_type == F_UNLCK ? LockOutcome::kLocked : LockOutcome::kHeldElsewhere;
}

// Writes into out the path of the file the link finally points to; realpath given a buffer
// works in its own stack scratch space for paths of ordinary length.
bool LinkTarget(const char* link, char* out, std::size_t capacity) {
  char resolved[PATH_MAX];
  if (realpath(link, resolved) == nullptr) return Failed(false);
  return CopyText(out, capacity, resolved) || Failed(false, ENAMETOOLONG);
}

class PosixPlatform final : public Platform {
 public:
  // Non-blocking, so that opening a FIFO cannot wait for a writer; whatever is not a
  // regular file (FIFO, device, directory) is then refused.
  FileHandle OpenForRead(const char* path) override {
    const MappedPath mapped(path);
    if (!mapped.ok()) return Failed(kNoFile, ENAMETOOLONG);
    const int fd = open(mapped.name(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failed(kNoFile);
    struct stat status;
    const int error = fstat(fd, &status) != 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    if (error != 0 || !S_ISREG(status.st_mode)) {
      close(fd);
      // A device or FIFO has no errno of its own; the engine names that case itself.
      return error != 0 ? Failed(kNoFile, error) : kNoFile;
    }
    return fd;
  }

  // O_EXCL also refuses a symbolic link of that name, even one pointing nowhere. Mode 0600:
  // nobody else may open the file before it has its owner and mode.
  FileHandle CreateNew(const char* path) override {
    const MappedPath mapped(path);
    if (!mapped.ok()) return Failed(kNoFile, ENAMETOOLONG);
    const int fd = open(mapped.name(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    return fd >= 0 ? fd : Failed(kNoFile);
  }

  long Read(FileHandle file, char* buffer, std::size_t size) override {
    ssize_t got;
    do {
      got = read(Descriptor(file), buffer, size);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? Failed(-1L) : static_cast<long>(got);
  }

  bool Write(FileHandle file, const char* data, std::size_t size) override {
    const std::size_t total = size;
    while (size > 0) {
      const ssize_t put = write(Descriptor(file), data, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return Failed(false);
      data += put;
      size -= static_cast<std::size_t>(put);
    }
    StartWriteBack(Descriptor(file), total);
    return true;
  }

  bool Sync(FileHandle file) override { return fsync(Descriptor(file)) == 0 || Failed(false); }

  bool SetMode(FileHandle file, unsigned mode) override {
    return fchmod(Descriptor(file), static_cast<mode_t>(mode & 07777)) == 0 || Failed(false);
  }

  // As sed -i does: whoever may not give a file away may still give it one of their groups.
  bool SetOwner(FileHandle file, const FileInfo& like) override {
    if (fchown(Descriptor(file), like.owner, like.group) == 0) return true;
    if (errno != EPERM) return Failed(false);
    if (fchown(Descriptor(file), static_cast<uid_t>(-1), like.group) == 0) return true;
    return errno == EPERM || Failed(false);
  }

  // A BSD lock, which other runs of this program on Linux know, and a record lock on the
  // run's byte, which Windows programs under Wine see. Both belong to the open file, not the
  // process: two opens of one file in one process exclude each other, and a close or the
  // process's end releases them.
  LockOutcome TryLock(FileHandle file) override {
    const int fd = Descriptor(file);
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0) return LockOutcome::kFailed;
    const bool writable = (flags & O_ACCMODE) != O_RDONLY || ReopenForWriting(fd);
    int result;
    do {
      result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
      return errno == EWOULDBLOCK ? LockOutcome::kHeldElsewhere : Failed(LockOutcome::kFailed);
    }
    return LockRunByte(fd, writable);
  }

  // Linux closes the descriptor even when close reports EINTR, so it is never retried.
  bool Close(FileHandle file) override { return close(Descriptor(file)) == 0 || Failed(false); }

  bool Remove(const char* path) override {
    const MappedPath mapped(path);
    if (!mapped.ok()) return Failed(false, ENAMETOOLONG);
    return unlink(mapped.name()) == 0 || IsMissing(errno) || Failed(false);
  }

  // linkat without flags names the existing path itself, a symbolic link included.
  bool Link(const char* existing, const char* new_name) override {
    const MappedPath from(existing);
    const MappedPath to(new_name);
    if (!from.ok() || !to.ok()) return Failed(false, ENAMETOOLONG);
    return linkat(AT_FDCWD, from.name(), AT_FDCWD, to.name(), 0) == 0 || Failed(false);
  }

  bool RenameReplacing(const char* from, const char* to) override {
    const MappedPath source(from);
    MappedPath target(to);
    if (!source.ok() || !target.ok()) return Failed(false, ENAMETOOLONG);
    if (std::rename(source.name(), target.name()) != 0) {
      return Failed(false);
    }
    SyncDirectoryOf(target.name());
    return true;
  }

  bool PrepareRemoval(FileHandle file, const char* path, RemovalTicket* ticket) override {
    ticket->file = file;
    return MapWindowsPath(path, ticket->native_name, sizeof ticket->native_name);
  }

  // unlink is async-signal-safe; an open file loses its name at once.
  void RemoveNow(const RemovalTicket& ticket) override { unlink(ticket.native_name); }

  bool Query(const char* path, FileInfo* info) override {
    const MappedPath mapped(path);
    if (!mapped.ok()) return Failed(false, ENAMETOOLONG);
    *info = FileInfo{};
    struct stat status;
    // Finding nothing is an answer, not a failure: it keeps no reason.
    if (lstat(mapped.name(), &status) != 0) return IsMissing(errno) || Failed(false);
    info->is_link = S_ISLNK(status.st_mode);
    // A link that points nowhere stays kMissing, with is_link set.
    if (info->is_link && stat(mapped.name(), &status) != 0)
      return IsMissing(errno) || Failed(false);
    Describe(status, info);
    return true;
  }

  bool QueryOpen(FileHandle file, FileInfo* info) override {
    *info = FileInfo{};
    struct stat status;
    if (fstat(Descriptor(file), &status) != 0) return Failed(false);
    Describe(status, info);
    return true;
  }

  bool TimesSettled(const FileInfo& info) override {
    timespec now;
    if (clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    const std::uint64_t tick = kTimestampTickSeconds * std::uint64_t{1000000000};
    const std::uint64_t latest = info.modified > info.changed ? info.modified : info.changed;
    return latest + tick < Nanoseconds(now);
  }

  // A name there as spelled has every component as spelled: one question answers it. Else
  // the letter case is found first, since a link may be named in any case.
  bool RealName(const char* path, char* out, std::size_t capacity) override {
    struct stat status;
    const MappedPath spelled(path);
    if (spelled.ok() && lstat(spelled.name(), &status) == 0) {
      if (!CopyText(out, capacity, path)) return Failed(false, ENAMETOOLONG);
      return !S_ISLNK(status.st_mode) || LinkTarget(spelled.name(), out, capacity);
    }
    if (!MatchLetterCase(path, out, capacity)) return Failed(false, ENAMETOOLONG);
    // In no other letter case either: the name just asked about is no link.
    if (spelled.ok() && std::strcmp(out, path) == 0) return true;
    const MappedPath mapped(out);
    if (!mapped.ok()) return Failed(false, ENAMETOOLONG);
    if (lstat(mapped.name(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
    return LinkTarget(mapped.name(), out, capacity);
  }

  // Through this platform's own file calls: the portable reader keeps the Windows rules.
  void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                     std::size_t capacity, const char* ini_path) override {
    ReadIniFile(*this, section, key, fallback, out, capacity, ini_path);
  }
  bool IniFileReadable(const char* ini_path) override { return IniFileOpens(*this, ini_path); }

  bool TakeFailureReason(char* out, std::size_t capacity) override {
    const int error = last_failure;
    last_failure = 0;
    if (capacity == 0) return false;
    out[0] = '\0';
    if (error == 0) return false;
    char text[kReasonBytes];
    std::snprintf(out, capacity, "%s", ErrorText(strerror_r(error, text, sizeof text), text));
    return true;
  }
};

}  // namespace

Platform& SystemPlatform() {
  static PosixPlatform platform;
  return platform;
}

}  // namespace kestrune
