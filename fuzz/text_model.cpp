// A plain model of how the design tools' text files are read.
#include "fuzz/text_model.h"

#include <cstddef>

namespace kestrune::fuzz {
namespace {

constexpr std::size_t kPieceChars = 299;

std::string WithoutCarriageReturnsBeforeLineFeeds(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

}  // namespace

std::vector<std::string> TextPieces(const std::string& bytes) {
  const std::string text = WithoutCarriageReturnsBeforeLineFeeds(bytes);
  std::vector<std::string> pieces;
  std::string piece;
  for (const char c : text) {
    piece += c;
    if (c == '\n' || piece.size() == kPieceChars) {
      pieces.push_back(piece);
      piece.clear();
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace kestrune::fuzz
