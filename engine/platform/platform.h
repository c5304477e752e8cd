// The narrow seam between the engine and the operating system: files, identities, the INI reader.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/capacities.h"

namespace kestrune {

// An open file of the platform; kNoFile when an open failed.
using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// What the engine needs to know of a file: what it is, whether the path itself is a
// symbolic link, which file it is (two paths name one file when ids are equal), its mode,
// owner and group, and what shows a change of its contents: size and times.
// The coarsest tick of the file systems' timestamps: FAT's two seconds. A change within the
// tick of a file's last one may leave its times as they were (ramfs, ext4 without fine
// timestamps: the kernel's clock tick).
constexpr int kTimestampTickSeconds = 2;

struct FileInfo {
  FileKind kind = FileKind::kMissing;
  bool is_link = false;
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  unsigned mode = 0;        // permission bits, as the platform reports them
  std::uint32_t owner = 0;  // user and group ids, where the platform has them
  std::uint32_t group = 0;
  std::uint64_t size = 0;
  std::uint64_t modified = 0;  // in the platform's own units; 0 where it has no such time
  std::uint64_t changed = 0;
};

inline bool SameFile(const FileInfo& a, const FileInfo& b) {
  return a.kind != FileKind::kMissing && b.kind != FileKind::kMissing && a.device == b.device &&
         a.index == b.index;
}

// True when a file still is what an earlier description said: the same file, unchanged.
inline bool Unchanged(const FileInfo& then, const FileInfo& now) {
  return SameFile(then, now) && then.size == now.size && then.modified == now.modified &&
         then.changed == now.changed;
}

enum class LockOutcome { kLocked, kHeldElsewhere, kFailed };

// What RemoveNow needs to remove a file this process holds open, prepared in advance: its
// name in native form where files go by name (POSIX), the open file where they go by handle
// (Windows).
struct RemovalTicket {
  FileHandle file = kNoFile;
  char native_name[kNativePathBytes] = {};
};

// Every path is given in the Windows form the design tools write (backslashes, drive
// letters); each implementation opens such paths by its own conventions, each name as
// spelled. Only RealName looks for a name in another letter case, so that a run never
// changes, nor asks about, a file it did not name exactly. No method allocates heap memory,
// and none blocks on a FIFO or a device.
class Platform {
 public:
  virtual ~Platform() = default;

  // Opens an existing regular file for reading; kNoFile for anything else or on failure.
  virtual FileHandle OpenForRead(const char* path) = 0;
  // Creates a file that must not exist yet, for writing, that only its owner may open
  // until it is given a mode; kNoFile on failure (an existing file of that name is never
  // opened or changed).
  virtual FileHandle CreateNew(const char* path) = 0;
  // Reads up to size bytes; the count read, 0 at the end of the file, -1 on failure.
  virtual long Read(FileHandle file, char* buffer, std::size_t size) = 0;
  // Writes all size bytes; false on failure (a short write is a failure).
  virtual bool Write(FileHandle file, const char* data, std::size_t size) = 0;
  // Makes what was written durable; false on failure.
  virtual bool Sync(FileHandle file) = 0;
  // Gives the file's permission bits to an open file; false on failure.
  virtual bool SetMode(FileHandle file, unsigned mode) = 0;
  // Gives an open file the owner and group of like, as far as the user may: a refusal for
  // want of rights is no failure (the file keeps what the user may give it). False on any
  // other failure.
  virtual bool SetOwner(FileHandle file, const FileInfo& like) = 0;
  // Locks an open file against every other open file of it, in this process or another,
  // without waiting. Closing the file releases it, and so does the end of its process,
  // however it ends. The handle may afterwards stand for another open of the same file (on
  // POSIX one that may also write, for a lock that Windows programs under Wine see).
  virtual LockOutcome TryLock(FileHandle file) = 0;
  // Closes the handle in every case; false when the close reported a failure.
  virtual bool Close(FileHandle file) = 0;

  // Removes a file; true when the name is gone afterwards (also when it never existed).
  virtual bool Remove(const char* path) = 0;
  // Gives an existing file a second name that must not exist yet; false on failure
  // or where the file system has no such links.
  virtual bool Link(const char* existing, const char* new_name) = 0;
  // Moves from over to, replacing an existing to atomically: at every instant the name
  // to holds the old or the new file. Durable when it returns true.
  virtual bool RenameReplacing(const char* from, const char* to) = 0;

  // Fills ticket for the open file that path names; false when the name does not fit or
  // the file is not on a disk.
  virtual bool PrepareRemoval(FileHandle file, const char* path, RemovalTicket* ticket) = 0;
  // Removes the file of a ticket while it is still open and written; the writer goes on
  // unharmed. Safe in a signal handler and on any thread: it takes no lock and allocates
  // nothing.
  virtual void RemoveNow(const RemovalTicket& ticket) = 0;

  // Describes the file a path names, following symbolic links; kind kMissing when there
  // is none. False only when the question itself failed.
  virtual bool Query(const char* path, FileInfo* info) = 0;
  // Describes an open file.
  virtual bool QueryOpen(FileHandle file, FileInfo* info) = 0;
  // True when info's times lie at least a timestamp tick in the past, so that any later
  // change to the file gives it other times and a file described alike again is unchanged.
  // False where the platform cannot tell.
  virtual bool TimesSettled(const FileInfo& info) = 0;
  // Writes into out (capacity bytes) the name under which the file that path names is
  // found: for a symbolic link, a path of the file it finally points to; else path itself,
  // where the file system tells letter cases apart with each component that does not exist
  // as spelled in the letter case of the one entry that matches it ignoring case. A name that
  // names nothing comes back as spelled. False when that does not fit or fails.
  virtual bool RealName(const char* path, char* out, std::size_t capacity) = 0;

  // GetPrivateProfileStringA(section, key, fallback, out, capacity, ini_path): the key's
  // value, or the fallback when the file, section or key is missing, cut to capacity - 1.
  virtual void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                             std::size_t capacity, const char* ini_path) = 0;
  // True when the INI file that ReadIniString reads for ini_path is there as a regular file
  // and opens for reading.
  virtual bool IniFileReadable(const char* ini_path) = 0;

  // Writes into out (capacity bytes) the system's own words for why the last call of this
  // thread that failed did so ("No such file or directory"), and forgets them; a call that
  // succeeds leaves them. False, out empty, when no failure is kept (a platform need not keep
  // any). With capacity 0 it only forgets.
  virtual bool TakeFailureReason(char* out, std::size_t capacity) {
    if (capacity > 0) out[0] = '\0';
    return false;
  }
};

// The real platform of this system. It keeps no state of its own, so any number of runs
// on any threads may share it.
Platform& SystemPlatform();

}  // namespace kestrune
