// Test helper: the system platform over a scratch folder, with whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/platform/platform.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {

// Bytes that a text-mode layer would change or stop at.
extern const std::string kAwkwardBytes;

class PlatformFixture : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return scratch_.PathOf(name); }
  void WriteFile(const std::string& name, const std::string& bytes) const;
  std::string ReadFile(const std::string& name) const;
  bool Exists(const std::string& name) const;
  FileInfo QueryOf(const std::string& name);
  // All bytes of an open file, read through the platform in small pieces.
  std::string ReadAll(FileHandle file);
  // Opens path for reading and checks that the open file is the file described by expected.
  void ExpectOpensAs(const char* path, const FileInfo& expected);

  ScratchDir scratch_;
  Platform& files_ = SystemPlatform();
};

}  // namespace kestrune::test
