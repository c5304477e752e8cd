// The temporary and backup names a schematic's path leads to.
#include "engine/file_names.h"

#include <cstdio>
#include <cstring>

#include "engine/text_util.h"

namespace kestrune {
namespace {

// Length of the path up to and including its extension dot; 0 when there is none.
std::size_t StemLength(const char* path) {
  for (std::size_t k = TextLength(path); k-- > 1;) {
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

bool TemporaryName(const char* path, char* out) {
  const std::size_t stem = StemLength(path);
  if (stem == 0) return CopyText(out, kPathBytes, kFallbackTemporaryName);
  return StemWith(path, stem, "TMP", out);
}

bool BackupName(const char* path, char* out) {
  const std::size_t stem = StemLength(path);
  if (stem == 0) return StemWith(path, TextLength(path), ".P71", out);
  return StemWith(path, stem, "P71", out);
}

bool AlternativeTemporaryName(const char* temporary, int attempt, char* out) {
  const int written = std::snprintf(out, kPathBytes, "%s%d", temporary, attempt);
  return written >= 0 && static_cast<std::size_t>(written) < kPathBytes;
}

}  // namespace kestrune
