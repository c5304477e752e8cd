// Replaces a file's whole contents so that, at every instant, it holds the old or the new bytes.
#pragma once

#include <string>

namespace kestrune {

// Writes bytes to a fresh temporary file beside path, makes it durable, and renames it
// over path. A symbolic link (or a chain of them) is written through: its final target is
// replaced so, beside itself, and keeps its permissions; a link that points nowhere gets
// its target made. On failure path is untouched and the temporary file is gone. POSIX only.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

}  // namespace kestrune
