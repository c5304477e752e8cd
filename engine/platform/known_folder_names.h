// What this process last listed of a few folders, so that an unchanged folder is not listed
// again to learn which letter-case variants of a name it holds.
#pragma once

#include <sys/stat.h>

namespace kestrune {

// RememberedCaseVariants has no listing of the folder as it is now (identity and times).
constexpr int kNotRemembered = -1;
// The folder as it is now holds more names than are kept.
constexpr int kTooManyToRemember = -2;

// The entries of the folder that folder describes that equal name ignoring ASCII case, from
// the listing remembered for it: 0 when one of them is name itself or there is none, else how
// many there are (the first copied into match, NAME_MAX + 1 bytes); kNotRemembered or
// kTooManyToRemember when no listing answers.
int RememberedCaseVariants(const struct stat& folder, const char* name, char* match);

// True when a listing of the folder that folder describes, begun now, would be remembered:
// its names last changed a timestamp tick ago.
bool SettledFolder(const struct stat& folder);

// Records a complete listing of the folder open as listing, under the lock of what is known,
// so that no thread sees half of it: Add every entry, then Complete; a listing not completed
// (it failed part way) is forgotten when the record goes. A folder of more names than are
// kept is remembered as such, without its names; one whose modification time lies less than
// a timestamp's tick before the listing began is not remembered: a change within that tick,
// by this process or another, may leave the times unchanged, and a listing is only used again
// while they are. The listing of the folder used longest ago makes room.
class FolderListingRecord {
 public:
  explicit FolderListingRecord(int listing);
  ~FolderListingRecord();
  FolderListingRecord(const FolderListingRecord&) = delete;
  FolderListingRecord& operator=(const FolderListingRecord&) = delete;

  void Add(const char* name);
  void Complete() { complete_ = true; }

 private:
  bool complete_ = false;
};

}  // namespace kestrune
