// Test helper: the pieces the engine's text reader hands out for a file's bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kestrune::test {

// Reads bytes from an in-memory file piece by piece, read_size bytes per platform read
// (0: all at once); checks that each piece is terminated.
std::vector<std::string> ReaderPieces(const std::string& bytes, std::size_t read_size = 0);

}  // namespace kestrune::test
