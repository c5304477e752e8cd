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
    if (EqualsIgnoreCase(row, path)) return true;
  }
  return false;
}

bool VisitedFiles::RecordVisited(const char* path) {
  if (count_ < 0 || count_ >= kVisitedRows) return false;
  if (!CopyText(rows_[count_], kPathBytes, path)) return false;
  ++count_;
  return true;
}

void RunBackups::RecordBackup(const FileInfo& backup) {
  if (count_ < kVisitedRows) made_[count_++] = backup;
}

bool RunBackups::MadeThisRun(const FileInfo& file) const {
  for (int i = 0; i < count_; ++i) {
    if (SameFile(made_[i], file)) return true;
  }
  return false;
}

namespace {

constexpr std::int16_t kFreeSlot = -1;

// A rotate and exclusive-or per folded byte (a short dependency chain, since a lookup hashes
// every "PART=" value), then one multiply to spread the bits; names that differ only in
// letter case share a slot chain.
std::uint32_t FoldedHash(const char* text) {
  std::uint32_t hash = 0;
  for (; *text != '\0'; ++text) {
    hash = ((hash << 5) | (hash >> 27)) ^ static_cast<unsigned char>(FoldCase(*text));
  }
  hash *= 2654435761u;
  return hash ^ (hash >> 15);
}

std::uint16_t TagOf(std::uint32_t hash) { return static_cast<std::uint16_t>(hash >> 16); }

char* NameOf(PartEntry& entry) { return entry.Name; }
char* DefaultOf(PartEntry& entry) { return entry.Default; }

}  // namespace

// The slot holding the row whose name equals name, or the free slot where it would go.
std::size_t PartTable::SlotOf(const char* name) const {
  const std::uint32_t hash = FoldedHash(name);
  const std::uint16_t tag = TagOf(hash);
  std::size_t slot = hash & (kIndexSlots - 1);
  while (index_[slot].row != kFreeSlot &&
         (index_[slot].tag != tag || !EqualsIgnoreCase(rows_[index_[slot].row].Name, name))) {
    slot = (slot + 1) & (kIndexSlots - 1);
  }
  return slot;
}

// Only rows before the first empty name can be found; of equal names the first row stays.
void PartTable::BuildIndex() {
  for (auto& slot : index_) slot.row = kFreeSlot;
  for (int row = 0; row < kPartRows && rows_[row].Name[0] != '\0'; ++row) {
    const std::size_t slot = SlotOf(rows_[row].Name);
    if (index_[slot].row == kFreeSlot) {
      index_[slot] = IndexSlot{static_cast<std::int16_t>(row), TagOf(FoldedHash(rows_[row].Name))};
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
  if (name[0] == '\0') return nullptr;
  if (!index_current_) BuildIndex();
  const std::int16_t row = index_[SlotOf(name)].row;
  return row == kFreeSlot ? nullptr : rows_[row].Default;
}

}  // namespace kestrune
