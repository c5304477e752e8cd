// Test helper: a fresh temporary directory per test, removed afterwards, and whole-file byte I/O.
#pragma once

#include <filesystem>
#include <string>

namespace kestrune::test {

// A new empty directory under the system's temporary directory; it is removed, with all it
// holds, when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of name inside the directory, as the system's own text.
  std::string PathOf(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// The path as the engine's 8-bit path text: in the ANSI code page on Windows (where the
// standard library's narrow form is UTF-8), the path's own bytes elsewhere.
std::string NativePath(const std::filesystem::path& path);

// Makes bytes the whole contents of the file at path, creating or truncating it.
// Throws std::runtime_error on failure.
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
// The whole contents of the file at path, byte for byte. Throws std::runtime_error on failure.
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace kestrune::test
