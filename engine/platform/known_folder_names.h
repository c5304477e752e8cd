// What this process last listed of one folder, so that an unchanged folder is not listed again
// to learn that a name has no variant in another letter case.
#pragma once

namespace kestrune {

// True only when the folder open as directory (or AT_FDCWD) is, by identity and times, the
// folder last listed, and that listing held no name equal to name ignoring ASCII case.
// False whenever that is not known: the caller then lists the folder itself.
bool KnownWithoutCaseVariant(int directory, const char* name);

// Records a complete listing of the folder open as listing, under the lock of what is known,
// so that no thread sees half of it: Add every entry, then Complete; a listing not completed
// (it failed part way) is forgotten when the record goes. A folder of more names than are
// kept is not recorded, nor one whose modification time lies less than a timestamp's tick
// before the listing began: a change within that tick, by this process or another, may leave
// the times unchanged, and a listing is only used again while they are.
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
