// Remembers the names of the folders listed last, shared by every thread of the process.
#include "engine/platform/known_folder_names.h"

#include <fcntl.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>

#include "engine/platform/platform.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

// A run alternates between a few folders: its files', the INI file's, the libraries'.
constexpr int kFolders = 8;
// A folder of up to half this many names is kept: a folder of a few thousand schematics,
// each beside its backup and, for a moment, its temporary file.
constexpr std::uint32_t kSlots = 16384;
constexpr std::uint32_t kNameBytes = 256 * 1024;

constexpr time_t kTimestampTick = kTimestampTickSeconds;

// FNV-1a of the name with ASCII letters folded, so that all variants of a name share a chain.
std::uint32_t FoldedHash(const char* name) {
  std::uint32_t hash = 2166136261u;
  for (; *name != '\0'; ++name) {
    const char c = (*name >= 'A' && *name <= 'Z') ? static_cast<char>(*name - 'A' + 'a') : *name;
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

class KnownFolder {
 public:
  enum class State { kUnknown, kNames, kTooMany };

  State state() const { return state_; }
  std::uint64_t last_use() const { return last_use_; }
  bool IsFolder(const struct stat& folder) const {
    return state_ != State::kUnknown && folder.st_dev == device_ && folder.st_ino == inode_;
  }
  bool Describes(const struct stat& folder) const {
    return IsFolder(folder) && SameTime(folder.st_mtim, modified_) &&
           SameTime(folder.st_ctim, changed_);
  }
  void Use(std::uint64_t moment) { last_use_ = moment; }

  // The entries equal to name ignoring case, as RememberedCaseVariants counts them.
  int CaseVariants(const char* name, char* match) const {
    const std::uint32_t hash = FoldedHash(name);
    int found = 0;
    for (std::uint32_t slot = hash;; ++slot) {
      const Slot& held = slots_[slot % kSlots];
      if (held.name == kFree) return found;
      const char* entry = names_ + held.name;
      if (held.hash != hash || !EqualsIgnoreCase(entry, name)) continue;
      if (std::strcmp(entry, name) == 0) return 0;
      if (++found == 1) std::strcpy(match, entry);
    }
  }

  void Begin(const struct stat& folder) {
    std::memset(slots_, 0xff, sizeof slots_);
    used_ = 0;
    name_bytes_ = 0;
    state_ = State::kNames;
    device_ = folder.st_dev;
    inode_ = folder.st_ino;
    modified_ = folder.st_mtim;
    changed_ = folder.st_ctim;
  }
  void Add(const char* name) {
    if (state_ != State::kNames) return;
    const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(name)) + 1;
    if (used_ >= kSlots / 2 || length > kNameBytes - name_bytes_) {
      state_ = State::kTooMany;
      return;
    }
    const std::uint32_t hash = FoldedHash(name);
    std::uint32_t slot = hash;
    while (slots_[slot % kSlots].name != kFree) ++slot;
    slots_[slot % kSlots] = Slot{hash, name_bytes_};
    std::memcpy(names_ + name_bytes_, name, length);
    name_bytes_ += length;
    ++used_;
  }
  void Forget() { state_ = State::kUnknown; }

 private:
  static constexpr std::uint32_t kFree = 0xffffffffu;
  struct Slot {
    std::uint32_t hash;
    std::uint32_t name;  // where its name starts in names_; kFree for a free slot
  };

  State state_ = State::kUnknown;
  std::uint64_t last_use_ = 0;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  timespec modified_ = {};
  timespec changed_ = {};
  std::uint32_t used_ = 0;
  std::uint32_t name_bytes_ = 0;
  Slot slots_[kSlots] = {};
  char names_[kNameBytes] = {};
};

std::mutex known_mutex;
KnownFolder known[kFolders];
std::uint64_t uses = 0;  // a clock of uses, for the choice of the record that makes room
KnownFolder* recording = nullptr;

KnownFolder* Describing(const struct stat& folder) {
  for (KnownFolder& record : known) {
    if (record.Describes(folder)) return &record;
  }
  return nullptr;
}

// The folder's own record, else a free one, else the one used longest ago.
KnownFolder& RecordFor(const struct stat& folder) {
  KnownFolder* chosen = &known[0];
  for (KnownFolder& record : known) {
    if (record.IsFolder(folder)) return record;
    if (chosen->state() != KnownFolder::State::kUnknown &&
        (record.state() == KnownFolder::State::kUnknown ||
         record.last_use() < chosen->last_use())) {
      chosen = &record;
    }
  }
  return *chosen;
}

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

int RememberedCaseVariants(const struct stat& folder, const char* name, char* match) {
  const std::lock_guard<std::mutex> hold(known_mutex);
  KnownFolder* record = Describing(folder);
  if (record == nullptr) return kNotRemembered;
  record->Use(++uses);
  if (record->state() == KnownFolder::State::kTooMany) return kTooManyToRemember;
  return record->CaseVariants(name, match);
}

bool SettledFolder(const struct stat& folder) {
  timespec now;
  return clock_gettime(CLOCK_REALTIME, &now) == 0 && Settled(folder, now);
}

FolderListingRecord::FolderListingRecord(int listing) {
  known_mutex.lock();
  timespec begun;
  struct stat folder;
  if (clock_gettime(CLOCK_REALTIME, &begun) != 0 || fstat(listing, &folder) != 0) return;
  if (!Settled(folder, begun)) return;
  KnownFolder& record = RecordFor(folder);
  record.Begin(folder);
  record.Use(++uses);
  recording = &record;
}

FolderListingRecord::~FolderListingRecord() {
  if (recording != nullptr && !complete_) recording->Forget();
  recording = nullptr;
  known_mutex.unlock();
}

void FolderListingRecord::Add(const char* name) {
  if (recording != nullptr) recording->Add(name);
}

}  // namespace kestrune
