// Remembers the folded names of the folder listed last, shared by every thread of the process.
#include "engine/platform/known_folder_names.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>

namespace kestrune {
namespace {

// A folder of up to half this many names is kept: a folder of a few thousand schematics,
// each beside its temporary file for a moment.
constexpr std::uint32_t kSlots = 16384;

// The coarsest tick of the file systems' timestamps: FAT's two seconds. A change within the
// tick of the folder's last one may leave its times as they were (ramfs, ext4 without fine
// timestamps: the kernel's clock tick).
constexpr time_t kTimestampTick = 2;

// FNV-1a of the name with ASCII letters folded; never zero, which marks a free slot.
std::uint32_t FoldedHash(const char* name) {
  std::uint32_t hash = 2166136261u;
  for (; *name != '\0'; ++name) {
    const char c = (*name >= 'A' && *name <= 'Z') ? static_cast<char>(*name - 'A' + 'a') : *name;
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash != 0 ? hash : 1;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

class KnownFolder {
 public:
  bool Describes(const struct stat& folder) const {
    return known_ && folder.st_dev == device_ && folder.st_ino == inode_ &&
           SameTime(folder.st_mtim, modified_) && SameTime(folder.st_ctim, changed_);
  }
  bool MayHold(const char* name) const {
    const std::uint32_t hash = FoldedHash(name);
    for (std::uint32_t slot = hash;; ++slot) {
      const std::uint32_t held = slots_[slot % kSlots];
      if (held == 0) return false;
      if (held == hash) return true;
    }
  }
  void Begin(const struct stat& folder) {
    std::memset(slots_, 0, sizeof slots_);
    used_ = 0;
    known_ = true;
    device_ = folder.st_dev;
    inode_ = folder.st_ino;
    modified_ = folder.st_mtim;
    changed_ = folder.st_ctim;
  }
  void Add(const char* name) {
    if (!known_) return;
    if (used_ >= kSlots / 2) {
      known_ = false;
      return;
    }
    const std::uint32_t hash = FoldedHash(name);
    std::uint32_t slot = hash;
    while (slots_[slot % kSlots] != 0 && slots_[slot % kSlots] != hash) ++slot;
    if (slots_[slot % kSlots] == 0) ++used_;
    slots_[slot % kSlots] = hash;
  }
  void Forget() { known_ = false; }

 private:
  bool known_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  timespec modified_ = {};
  timespec changed_ = {};
  std::uint32_t used_ = 0;
  std::uint32_t slots_[kSlots] = {};
};

std::mutex known_mutex;
KnownFolder known;

bool TickBefore(const timespec& time, const timespec& moment) {
  return time.tv_sec + kTimestampTick < moment.tv_sec ||
         (time.tv_sec + kTimestampTick == moment.tv_sec && time.tv_nsec <= moment.tv_nsec);
}

// As git treats an index entry as racily clean: only when the folder's names last changed a
// whole tick before the listing began can no later change of them, which sets the
// modification time to the present, keep the time the listing saw.
bool Settled(const struct stat& folder, const timespec& begun) {
  return TickBefore(folder.st_mtim, begun);
}

}  // namespace

bool KnownWithoutCaseVariant(int directory, const char* name) {
  const std::lock_guard<std::mutex> hold(known_mutex);
  struct stat folder;
  return fstatat(directory, ".", &folder, 0) == 0 && known.Describes(folder) &&
         !known.MayHold(name);
}

FolderListingRecord::FolderListingRecord(int listing) {
  known_mutex.lock();
  timespec begun;
  struct stat folder;
  if (clock_gettime(CLOCK_REALTIME, &begun) == 0 && fstat(listing, &folder) == 0 &&
      Settled(folder, begun)) {
    known.Begin(folder);
  } else {
    known.Forget();
  }
}

FolderListingRecord::~FolderListingRecord() {
  if (!complete_) known.Forget();
  known_mutex.unlock();
}

void FolderListingRecord::Add(const char* name) { known.Add(name); }

}  // namespace kestrune
