// Replaces a file's whole contents so that, at every instant, it holds the old or the new bytes.
#pragma once

#include <string>

namespace kestrune {

// Writes bytes to a fresh temporary file beside path, makes it durable, and renames it
// over path. On failure path is untouched and the temporary file is gone. POSIX only.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

}  // namespace kestrune
