// Test helper: the pieces the engine's text reader hands out for a file's bytes.
#include "tests/support/reader_pieces.h"

#include <gtest/gtest.h>

#include "engine/platform/memory_platform.h"
#include "engine/text_reader.h"

namespace kestrune::test {

std::vector<std::string> ReaderPieces(const std::string& bytes, std::size_t read_size) {
  MemoryPlatform files;
  files.AddFile("f", bytes);
  if (read_size != 0) files.LimitReadSize(read_size);
  static TextReader reader;
  reader.Start(files, files.OpenForRead("f"));
  std::vector<std::string> pieces;
  char line[kLineBytes];
  for (std::size_t n; (n = reader.ReadLine(line)) != 0;) {
    EXPECT_EQ(line[n], '\0');
    pieces.emplace_back(line, n);
  }
  return pieces;
}

}  // namespace kestrune::test
