// Maps the design tools' Windows-form paths onto POSIX names, and finds their letter case on disk.
#include "engine/platform/windows_path_on_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "engine/platform/known_folder_names.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Appends to a fixed buffer, always keeping it zero-terminated.
class PathBuilder {
 public:
  PathBuilder(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {
    if (capacity_ > 0) out_[0] = '\0';
  }

  bool Append(const char* text, std::size_t length) {
    if (length >= capacity_ - size_) return false;
    std::memcpy(out_ + size_, text, length);
    size_ += length;
    out_[size_] = '\0';
    return true;
  }
  bool Append(const char* text) { return Append(text, std::strlen(text)); }
  bool Append(char c) { return Append(&c, 1); }

  bool EndsWithSeparator() const { return size_ > 0 && out_[size_ - 1] == '/'; }

 private:
  char* out_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

// The directory the walk has reached, held open so each step looks only inside it.
// Once a component is not a directory that can be entered, the walk is lost and the
// rest of the path is taken as given.
class DirectoryCursor {
 public:
  DirectoryCursor() = default;
  ~DirectoryCursor() { CloseOwned(); }
  DirectoryCursor(const DirectoryCursor&) = delete;
  DirectoryCursor& operator=(const DirectoryCursor&) = delete;

  // Starts at the directory start names, or at the current directory when start is null.
  void Open(const char* start) {
    CloseOwned();
    fd_ = start != nullptr ? open(start, O_PATH | O_DIRECTORY | O_CLOEXEC) : AT_FDCWD;
  }
  bool Lost() const { return fd_ == kLost; }
  int Descriptor() const { return fd_; }

  // Steps into name, a component of the current directory ("." and ".." included).
  void Enter(const char* name) {
    const int next = openat(fd_, name, O_PATH | O_DIRECTORY | O_CLOEXEC);
    CloseOwned();
    fd_ = next >= 0 ? next : kLost;
  }

 private:
  static constexpr int kLost = -1;
  void CloseOwned() {
    if (fd_ >= 0) close(fd_);
  }
  int fd_ = kLost;
};

// Counts the entries of the directory open as listing that equal name ignoring ASCII case,
// copying the first one into match (same length as name) and every entry into record; -1
// when the listing failed.
int CountCaseVariants(int listing, const char* name, char* match, FolderListingRecord& record) {
  alignas(struct dirent64) char buffer[4096];
  int found = 0;
  for (;;) {
    const long got = syscall(SYS_getdents64, listing, buffer, sizeof buffer);
    if (got <= 0) return got == 0 ? found : -1;
    for (long at = 0; at < got;) {
      const char* entry = buffer + at;
      unsigned short record_length = 0;
      std::memcpy(&record_length, entry + offsetof(struct dirent64, d_reclen),
                  sizeof record_length);
      const char* entry_name = entry + offsetof(struct dirent64, d_name);
      record.Add(entry_name);
      if (EqualsIgnoreCase(entry_name, name) && ++found == 1) std::strcpy(match, entry_name);
      at += record_length;
    }
  }
}

// A name of up to this many letters has few enough letter-case variants (255) to ask for
// each instead of listing the folder, which costs as much as the folder is large.
constexpr int kMostLettersToProbe = 8;

bool Exists(int directory, const char* name) {
  struct stat status;
  return fstatat(directory, name, &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// Counts the letter-case variants of name (missing as spelled) that directory holds, up to
// two, by asking for each, copying the first into match; -1 when name has too many letters
// or a question failed otherwise than by a missing name.
int ProbeCaseVariants(int directory, const char* name, char* match) {
  int letters[kMostLettersToProbe];
  int count = 0;
  for (int at = 0; name[at] != '\0'; ++at) {
    if (!IsAsciiLetter(name[at])) continue;
    if (count == kMostLettersToProbe) return -1;
    letters[count++] = at;
  }
  int found = 0;
  char variant[NAME_MAX + 1];
  for (unsigned flips = 1; flips < (1u << count) && found < 2; ++flips) {
    std::strcpy(variant, name);
    for (int i = 0; i < count; ++i) {
      if (flips & (1u << i)) variant[letters[i]] ^= 'a' - 'A';
    }
    if (Exists(directory, variant)) {
      if (++found == 1) std::strcpy(match, variant);
    } else if (errno != ENOENT) {
      return -1;
    }
  }
  return found;
}

// Counts the case variants of name in a listing of directory, remembering the listing.
int ListCaseVariants(int directory, const char* name, char* match) {
  const int listing = openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return -1;
  int variants;
  {
    FolderListingRecord record(listing);
    variants = CountCaseVariants(listing, name, match, record);
    if (variants >= 0) record.Complete();
  }
  close(listing);
  return variants;
}

// Counts the letter-case variants of name, missing as spelled, in directory (described as
// folder where that is known), as RememberedCaseVariants does. A folder whose names have
// settled is listed, so that its listing answers the next questions too; a changing one is
// asked for each variant of a short name and listed for a long one.
int FindCaseVariants(int directory, const struct stat* folder, const char* name, char* match) {
  struct stat described;
  if (folder == nullptr && fstatat(directory, ".", &described, 0) == 0) folder = &described;
  int variants = folder != nullptr ? RememberedCaseVariants(*folder, name, match) : kNotRemembered;
  if (variants == kNotRemembered && folder != nullptr && SettledFolder(*folder)) {
    variants = ListCaseVariants(directory, name, match);
  }
  if (variants < 0) variants = ProbeCaseVariants(directory, name, match);
  if (variants < 0) variants = ListCaseVariants(directory, name, match);
  return variants;
}

// Where directory has no entry spelled exactly as name, replaces name in place by the one
// entry that matches it ignoring ASCII case. Several such entries and no exact one: name is
// kept, since picking one would depend on the order of the listing. Each answer comes from
// the folder as it is when asked, or from a listing that no change since can have missed.
void MatchComponent(int directory, char* name) {
  if (Exists(directory, name) || errno != ENOENT) return;
  char match[NAME_MAX + 1];
  if (FindCaseVariants(directory, nullptr, name, match) == 1) std::strcpy(name, match);
}

// "$WINEPREFIX/dosdevices/x:", the folder where Wine keeps drive x; the prefix defaults to
// "$HOME/.wine". Fails without either variable, or when it does not fit.
bool AppendDriveFolder(char drive, PathBuilder& path) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && prefix[0] != '\0') {
    if (!path.Append(prefix)) return false;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || !path.Append(home) || !path.Append("/.wine")) return false;
  }
  if (!path.EndsWithSeparator() && !path.Append('/')) return false;
  const char drive_name[] = {LowerAscii(drive), ':', '\0'};
  return path.Append("dosdevices/") && path.Append(drive_name);
}

bool HasDrive(const char* text) { return IsAsciiLetter(text[0]) && text[1] == ':'; }

// Appends the components of rest as spelled, with runs of separators written as a single '/'.
bool AppendComponents(const char* rest, PathBuilder& path) {
  while (*rest != '\0') {
    if (IsSeparator(*rest)) {
      if (!path.EndsWithSeparator() && !path.Append('/')) return false;
      ++rest;
      continue;
    }
    const std::size_t length = std::strcspn(rest, "\\/");
    if (!path.Append(rest, length)) return false;
    rest += length;
  }
  return true;
}

bool MapInto(const char* text, PathBuilder& path) {
  if (HasDrive(text)) {
    if (!AppendDriveFolder(text[0], path)) return false;
    // "C:foo" is taken as "C:\foo": Wine has no current directory per drive to resolve it against.
    if (text[2] != '\0' && !IsSeparator(text[2]) && !path.Append('/')) return false;
    return AppendComponents(text + 2, path);
  }
  return AppendComponents(text, path);
}

// The folder where the walk over text's components starts: the drive's folder, the root or
// the current directory.
void OpenStart(const char* text, DirectoryCursor& start) {
  if (!HasDrive(text)) {
    start.Open(IsSeparator(text[0]) ? "/" : nullptr);
    return;
  }
  char folder[PATH_MAX];
  PathBuilder drive(folder, sizeof folder);
  if (AppendDriveFolder(text[0], drive)) start.Open(folder);
}

// Gives each component of the path in place the letter case found on disk, walking down from
// start for as long as each component is a folder that can be entered.
void MatchComponents(char* path, DirectoryCursor& directory) {
  for (char* rest = path; *rest != '\0' && !directory.Lost();) {
    if (IsSeparator(*rest)) {
      ++rest;
      continue;
    }
    const std::size_t length = std::strcspn(rest, "\\/");
    char name[NAME_MAX + 1];
    if (length >= sizeof name) return;
    std::memcpy(name, rest, length);
    name[length] = '\0';
    MatchComponent(directory.Descriptor(), name);
    std::memcpy(rest, name, length);  // a case variant is as long as the name it matches
    directory.Enter(name);
    rest += length;
  }
}

// The last component of text and the folder text before it, with its separator ("" for the
// current directory, "X:" for a drive's folder); false when text ends with a separator.
bool SplitLast(char* text, char** last) {
  char* const rest = HasDrive(text) ? text + 2 : text;
  char* end = rest + std::strlen(rest);
  if (end == rest || IsSeparator(end[-1])) return false;
  while (end > rest && !IsSeparator(end[-1])) --end;
  *last = end;
  return true;
}

// Most names that are not found as spelled differ in their last component alone, so the
// folder that holds it is tried as spelled first, with one question where a remembered
// listing of it answers, instead of a walk down every component. False when that folder is
// not there as spelled.
bool MatchInFolderAsSpelled(char* text) {
  char* last = nullptr;
  if (!SplitLast(text, &last)) return false;
  char name[NAME_MAX + 1];
  const std::size_t length = std::strlen(last);
  if (length >= sizeof name) return false;
  std::memcpy(name, last, length + 1);
  char folder_path[PATH_MAX];
  *last = '\0';
  const bool mapped = MapWindowsPath(text[0] != '\0' ? text : ".", folder_path, sizeof folder_path);
  std::memcpy(last, name, length + 1);
  struct stat folder;
  if (!mapped || stat(folder_path, &folder) != 0 || !S_ISDIR(folder.st_mode)) return false;
  char match[NAME_MAX + 1];
  int variants = RememberedCaseVariants(folder, name, match);
  if (variants < 0) {
    const int directory = open(folder_path, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) return false;
    variants = Exists(directory, name) || errno != ENOENT
                   ? 0
                   : FindCaseVariants(directory, &folder, name, match);
    close(directory);
  }
  if (variants == 1) std::memcpy(last, match, length);  // as long as the name it matches
  return true;
}

}  // namespace

bool MapWindowsPath(const char* text, char* out, std::size_t capacity) {
  if (capacity == 0) return false;  // not even an empty path's terminator fits
  PathBuilder path(out, capacity);
  if (MapInto(text, path)) return true;
  out[0] = '\0';
  return false;
}

bool MatchLetterCase(const char* text, char* out, std::size_t capacity) {
  if (!CopyText(out, capacity, text)) return false;
  if (MatchInFolderAsSpelled(out)) return true;
  DirectoryCursor start;
  OpenStart(text, start);
  MatchComponents(HasDrive(out) ? out + 2 : out, start);
  return true;
}

}  // namespace kestrune
