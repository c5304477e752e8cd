// The process-wide tables of a conversion run and their plain operations.
#include "engine/run_state.h"

#include <cstdint>
#include <cstring>

#include "engine/text_util.h"

namespace kestrune {

char VisitedFiles[kVisitedRows][kVisitedPathBytes];
int VisitedCount;
PartEntry PartTable[kPartRows];
int CreateBackups;
int ConvertEmbedded;

void ResetVisited() {
  VisitedCount = 0;
  for (auto& row : VisitedFiles) row[0] = '\0';
}

bool IsVisited(const char* path) {
  for (const auto& row : VisitedFiles) {
    if (EqualsIgnoreCase(row, path)) return true;
  }
  return false;
}

bool RecordVisited(const char* path) {
  if (VisitedCount < 0 || VisitedCount >= kVisitedRows) return false;
  if (!CopyText(VisitedFiles[VisitedCount], kVisitedPathBytes, path)) return false;
  ++VisitedCount;
  return true;
}

namespace {

// Every lookup of a "PART=" line goes through an index over the reachable rows, so that it
// costs a few probes instead of a scan of the whole table. It maps the folded name to the
// first row bearing it and is rebuilt on the first lookup after a name changes. Each slot
// keeps a tag of its name's hash too, so that a probe compares names only when tags agree.
constexpr std::size_t kIndexSlots = 4096;  // a power of two, four times kPartRows
constexpr std::int16_t kFreeSlot = -1;
struct IndexSlot {
  std::int16_t row;
  std::uint16_t tag;
};
IndexSlot part_index[kIndexSlots];
bool index_current = false;

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

// The slot holding the row whose name equals name, or the free slot where it would go.
std::size_t SlotOf(const char* name) {
  const std::uint32_t hash = FoldedHash(name);
  const std::uint16_t tag = TagOf(hash);
  std::size_t slot = hash & (kIndexSlots - 1);
  while (part_index[slot].row != kFreeSlot &&
         (part_index[slot].tag != tag || !EqualsIgnoreCase(PartTable[part_index[slot].row].Name, name))) {
    slot = (slot + 1) & (kIndexSlots - 1);
  }
  return slot;
}

// Only rows before the first empty name can be found; of equal names the first row stays.
void BuildIndex() {
  for (auto& slot : part_index) slot.row = kFreeSlot;
  for (int row = 0; row < kPartRows && PartTable[row].Name[0] != '\0'; ++row) {
    const std::size_t slot = SlotOf(PartTable[row].Name);
    if (part_index[slot].row == kFreeSlot) {
      part_index[slot] = IndexSlot{static_cast<std::int16_t>(row), TagOf(FoldedHash(PartTable[row].Name))};
    }
  }
  index_current = true;
}

bool SetField(int row, char* (*field)(PartEntry&), std::size_t capacity, const char* text) {
  if (row < 0 || row >= kPartRows || TextLength(text) >= capacity) return false;
  return CopyText(field(PartTable[row]), capacity, text);
}

char* NameOf(PartEntry& entry) { return entry.Name; }
char* DefaultOf(PartEntry& entry) { return entry.Default; }

}  // namespace

void ResetParts() {
  std::memset(PartTable, 0, sizeof PartTable);
  index_current = false;
}

bool SetPartName(int row, const char* text) {
  index_current = false;
  return SetField(row, NameOf, kPartNameBytes, text);
}

bool SetPartDefault(int row, const char* text) {
  return SetField(row, DefaultOf, kPartDefaultBytes, text);
}

const char* FindPart(const char* name) {
  if (name[0] == '\0') return nullptr;
  if (!index_current) BuildIndex();
  const std::int16_t row = part_index[SlotOf(name)].row;
  return row == kFreeSlot ? nullptr : PartTable[row].Default;
}

}  // namespace kestrune
