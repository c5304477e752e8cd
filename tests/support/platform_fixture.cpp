// Test helper: the system platform over a scratch folder, with whole-file helpers.
#include "tests/support/platform_fixture.h"

#include <filesystem>

namespace kestrune::test {

const std::string kAwkwardBytes(
    "line\r\nnul\0here\x1A"
    "end\rlast",
    24);

void PlatformFixture::WriteFile(const std::string& name, const std::string& bytes) const {
  WriteWholeFile(scratch_.path() / name, bytes);
}

std::string PlatformFixture::ReadFile(const std::string& name) const {
  return ReadWholeFile(scratch_.path() / name);
}

bool PlatformFixture::Exists(const std::string& name) const {
  return std::filesystem::exists(std::filesystem::symlink_status(scratch_.path() / name));
}

FileInfo PlatformFixture::QueryOf(const std::string& name) {
  FileInfo info;
  EXPECT_TRUE(files_.Query(PathOf(name).c_str(), &info)) << name;
  return info;
}

std::string PlatformFixture::ReadAll(FileHandle file) {
  std::string contents;
  char piece[7];
  long got;
  while ((got = files_.Read(file, piece, sizeof piece)) > 0)
    contents.append(piece, static_cast<std::size_t>(got));
  EXPECT_EQ(got, 0);
  return contents;
}

void PlatformFixture::ExpectOpensAs(const char* path, const FileInfo& expected) {
  const FileHandle open_file = files_.OpenForRead(path);
  ASSERT_NE(open_file, kNoFile) << path;
  FileInfo opened;
  EXPECT_TRUE(files_.QueryOpen(open_file, &opened));
  EXPECT_TRUE(SameFile(expected, opened)) << path;
  EXPECT_TRUE(files_.Close(open_file));
}

}  // namespace kestrune::test
