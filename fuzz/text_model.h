// A plain model of how the design tools' text files are read, written apart from the engine.
#pragma once

#include <string>
#include <vector>

namespace kestrune::fuzz {

// The pieces a text reading hands out: every carriage return directly before a line feed
// dropped, then pieces of at most 299 characters, each ending after a line feed or when full.
std::vector<std::string> TextPieces(const std::string& bytes);

// ASCII letters folded to upper case, every other byte kept.
std::string UpperAscii(std::string text);
std::string LowerAscii(std::string text);

}  // namespace kestrune::fuzz
