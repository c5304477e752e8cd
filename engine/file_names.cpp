// The temporary and backup names a schematic's path leads to.
#include "engine/file_names.h"

#include <cstdio>
#include <cstring>

#include "engine/text_util.h"

namespace kestrune {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Length of the folder part, its last separator or a drive's colon included; 0 for a bare name.
std::size_t FolderLength(const char* path) {
  std::size_t folder = (path[0] != '\0' && path[1] == ':') ? 2 : 0;
  for (std::size_t k = folder; path[k] != '\0'; ++k) {
    if (IsSeparator(path[k])) folder = k + 1;
  }
  return folder;
}

// Length of the path up to and including the extension dot of its file name; 0 when the
// name has none. A dot that begins the name is no extension's.
std::size_t StemLength(const char* path) {
  const std::size_t folder = FolderLength(path);
  for (std::size_t k = TextLength(path); k-- > folder + 1;) {
    if (path[k] == '.') return k + 1;
  }
  return 0;
}

bool StemWith(const char* path, std::size_t stem, const char* extension, char* out) {
  const int written =
      std::snprintf(out, kPathBytes, "%.*s%s", static_cast<int>(stem), path, extension);
  return written >= 0 && static_cast<std::size_t>(written) < kPathBytes;
}

}  // namespace

// A dotless file's temporary file lies in its own folder, so that the swap is a rename
// within one file system and a stopped run's leftover lies beside the file it belongs to.
bool TemporaryName(const char* path, char* out) {
  const std::size_t stem = StemLength(path);
  if (stem == 0) return StemWith(path, FolderLength(path), kFallbackTemporaryName, out);
  return StemWith(path, stem, "TMP", out);
}

bool BackupName(const char* path, char* out) {
  const std::size_t stem = StemLength(path);
  if (stem == 0) return StemWith(path, TextLength(path), ".P71", out);
  return StemWith(path, stem, "P71", out);
}

// At the longest paths the temporary name has no alternative that fits; the fallback name,
// shorter than any long file name, has.
bool BackupCopyName(const char* path, char* out) {
  char alternative[kPathBytes];
  if (TemporaryName(path, out) && AlternativeTemporaryName(out, 1, alternative)) return true;
  return StemWith(path, FolderLength(path), kFallbackTemporaryName, out);
}

bool AlternativeTemporaryName(const char* temporary, int attempt, char* out) {
  const int written = std::snprintf(out, kPathBytes, "%s%d", temporary, attempt);
  return written >= 0 && static_cast<std::size_t>(written) < kPathBytes;
}

}  // namespace kestrune
