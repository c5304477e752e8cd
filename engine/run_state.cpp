// The tables of a conversion run and their plain operations.
#include "engine/run_state.h"

#include <cstring>

#include "engine/text_util.h"

namespace kestrune {

void VisitedFiles::ResetVisited() {
  count_ = 0;
  for (auto& row : rows_) row[0] = '\0';
}

bool VisitedFiles::IsVisited(const char* path) const {
  for (const auto& row : rows_) {
    if (std::strcmp(row, path) == 0) return true;
  }
  return false;
}

// A file is known by its identity whatever names it; only where there is none is the text
// all there is to compare.
bool VisitedFiles::IsVisited(const char* path, const FileInfo& file) const {
  if (file.kind != FileKind::kMissing) {
    for (int row = 0; row < count_; ++row) {
      if (SameFile(files_[row], file)) return true;
    }
    return false;
  }
  for (const auto& row : rows_) {
    if (EqualsIgnoreCase(row, path)) return true;
  }
  return false;
}

bool VisitedFiles::RecordVisited(const char* path, const FileInfo& file) {
  if (count_ < 0 || count_ >= kVisitedRows) return false;
  if (!CopyText(rows_[count_], kPathBytes, path)) return false;
  files_[count_] = file;
  ++count_;
  return true;
}

bool CommandBackups::RecordBackup(const FileInfo& backup) {
  if (count_ >= kVisitedRows) return false;
  made_[count_++] = backup;
  return true;
}

bool CommandBackups::MadeThisRun(const FileInfo& file) const {
  for (int i = 0; i < count_; ++i) {
    if (SameFile(made_[i], file)) return true;
  }
  return false;
}

namespace {

constexpr std::int16_t kFreeSlot = -1;

// Up to eight bytes of text as one number, each at its place, read without passing their end.
std::uint64_t Chunk(const char* text, std::size_t size) {
  if (size >= 4) {
    std::uint32_t low, high;
    std::memcpy(&low, text, 4);
    std::memcpy(&high, text + size - 4, 4);
    return low | static_cast<std::uint64_t>(high) << ((size - 4) * 8);
  }
  if (size == 0) return 0;
  const auto byte = [text](std::size_t at) {
    return static_cast<std::uint64_t>(static_cast<unsigned char>(text[at])) << (at * 8);
  };
  return byte(0) | byte(size / 2) | byte(size - 1);
}

// The size of the name in the first limit bytes of text: up to the first NUL byte among them.
std::size_t NameSize(const char* text, std::size_t limit) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  for (std::size_t done = 0; done < limit; done += 8) {
    const std::size_t size = limit - done < 8 ? limit - done : 8;
    const std::uint64_t bytes = Chunk(text + done, size) | (size == 8 ? 0 : ~0ull << (size * 8));
    // The lowest bit of this is in the first NUL byte.
    if (const std::uint64_t nuls = (bytes - kOnes) & ~bytes & kHighBits) {
      return done + static_cast<std::size_t>(__builtin_ctzll(nuls)) / 8;
    }
  }
  return limit;
}

// Eight bytes at a time, each with its letter-case bit set, one multiply each (a lookup hashes
// every "PART=" value); the upper half of the last product, which all bytes reach, is the
// hash. Names that differ only in letter case share a slot chain, as do the few that differ
// only in that bit of another byte; the compare tells those apart.
std::uint32_t FoldedHash(const char* text, std::size_t size) {
  constexpr std::uint64_t kCaseBits = 0x2020202020202020u;
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  std::uint64_t hash = size;
  std::size_t done = 0;
  for (; size - done > 8; done += 8) {
    std::uint64_t word;
    std::memcpy(&word, text + done, 8);
    hash = (hash ^ (word | kCaseBits)) * kMultiplier;
  }
  hash = (hash ^ (Chunk(text + done, size - done) | kCaseBits)) * kMultiplier;
  return static_cast<std::uint32_t>(hash >> 32);
}

// True when a row's name is the length bytes of name, none of them NUL, ignoring ASCII case.
bool NameIs(const char* row_name, const char* name, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (FoldCase(row_name[i]) != FoldCase(name[i])) return false;
  }
  return row_name[length] == '\0';
}

std::uint16_t TagOf(std::uint32_t hash) { return static_cast<std::uint16_t>(hash >> 16); }

char* NameOf(PartEntry& entry) { return entry.Name; }
char* DefaultOf(PartEntry& entry) { return entry.Default; }

}  // namespace

// The slot holding the row whose name is the length bytes of name, or the free slot where it
// would go.
std::size_t PartTable::SlotOf(const char* name, std::size_t length) const {
  const std::uint32_t hash = FoldedHash(name, length);
  const std::uint16_t tag = TagOf(hash);
  std::size_t slot = hash & (kIndexSlots - 1);
  while (index_[slot].row != kFreeSlot &&
         (index_[slot].tag != tag || !NameIs(rows_[index_[slot].row].Name, name, length))) {
    slot = (slot + 1) & (kIndexSlots - 1);
  }
  return slot;
}

// Only rows before the first empty name can be found; of equal names the first row stays.
void PartTable::BuildIndex() {
  for (auto& slot : index_) slot.row = kFreeSlot;
  for (int row = 0; row < kPartRows && rows_[row].Name[0] != '\0'; ++row) {
    const char* const name = rows_[row].Name;
    const std::size_t length = TextLength(name);
    const std::size_t slot = SlotOf(name, length);
    if (index_[slot].row == kFreeSlot) {
      index_[slot] = IndexSlot{static_cast<std::int16_t>(row), TagOf(FoldedHash(name, length))};
    }
  }
  index_current_ = true;
}

bool PartTable::SetField(int row, char* (*field)(PartEntry&), std::size_t capacity,
                         const char* text) {
  if (row < 0 || row >= kPartRows || TextLength(text) >= capacity) return false;
  return CopyText(field(rows_[row]), capacity, text);
}

void PartTable::ResetParts() {
  std::memset(rows_, 0, sizeof rows_);
  index_current_ = false;
}

bool PartTable::SetPartName(int row, const char* text) {
  index_current_ = false;
  return SetField(row, NameOf, kPartNameBytes, text);
}

bool PartTable::SetPartDefault(int row, const char* text) {
  return SetField(row, DefaultOf, kPathBytes, text);
}

const char* PartTable::FindPart(const char* name) {
  // memchr reads no further than the first NUL byte.
  const void* const nul = std::memchr(name, '\0', kPartNameBytes);
  return FindName(name, nul != nullptr
                            ? static_cast<std::size_t>(static_cast<const char*>(nul) - name)
                            : kPartNameBytes);
}

const char* PartTable::FindPart(const char* name, std::size_t length) {
  return FindName(name, NameSize(name, length < kPartNameBytes ? length : kPartNameBytes));
}

const char* PartTable::FindName(const char* name, std::size_t size) {
  // No row holds a name of kPartNameBytes or more.
  if (size == 0 || size >= kPartNameBytes) return nullptr;
  if (!index_current_) BuildIndex();
  const std::int16_t row = index_[SlotOf(name, size)].row;
  return row == kFreeSlot ? nullptr : rows_[row].Default;
}

}  // namespace kestrune
