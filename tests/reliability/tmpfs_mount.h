// Test helper: a small tmpfs (or ramfs) mounted for the lifetime of the object, for faults only a
// real file system gives.
#pragma once

#include <filesystem>
#include <string>

namespace kestrune::test {

class TmpfsMount {
 public:
  // Creates the folder where and mounts a tmpfs there with the given options ("size=64k"),
  // or a file system of another type.
  TmpfsMount(std::filesystem::path where, const std::string& options, const char* type = "tmpfs");
  // Unmounts, even while files on it are still open.
  ~TmpfsMount();
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool mounted() const { return mounted_; }
  // Why the mount failed.
  const std::string& error() const { return error_; }
  const std::filesystem::path& path() const { return where_; }

 private:
  std::filesystem::path where_;
  bool mounted_ = false;
  std::string error_;
};

}  // namespace kestrune::test
