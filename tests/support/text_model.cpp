// An independent model of the design tools' text files, written apart from the engine.
#include "tests/support/text_model.h"

namespace kestrune::model {
namespace {

constexpr std::size_t kPieceChars = 299;
constexpr std::size_t kPartRows = 1000;
constexpr std::size_t kNameChars = 19;
constexpr std::size_t kDefaultChars = 199;
constexpr std::size_t kPathBytes = 200;

std::string WithoutCarriageReturnsBeforeLineFeeds(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

bool Contains(const std::string& piece, const char* text) {
  return piece.find(text) != std::string::npos;
}

// A stored or looked-up text runs to its first NUL byte.
std::string AsCString(const std::string& text) { return text.substr(0, text.find('\0')); }

// Only a part value that fits a path is looked up.
std::optional<std::string> LookedUpName(const std::string& piece) {
  const std::optional<std::string> value = PartValue(piece);
  if (!value || value->size() >= kPathBytes) return std::nullopt;
  return AsCString(*value);
}

}  // namespace

std::vector<std::string> TextPieces(const std::string& bytes) {
  std::vector<std::string> pieces;
  std::string piece;
  for (const char c : WithoutCarriageReturnsBeforeLineFeeds(bytes)) {
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

std::optional<std::string> PartValue(const std::string& piece) {
  const std::size_t key = piece.find("PART=");
  if (key == std::string::npos) return std::nullopt;
  std::string value = piece.substr(key + 5);
  if (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

Conversion ConvertSchematic(const std::string& bytes, bool follow_parts) {
  Conversion conversion;
  bool new_version = false;
  bool copying = true;
  for (std::string piece : TextPieces(bytes)) {
    if (!new_version && !conversion.left_alone && Contains(piece, "*version 6.1")) {
      conversion.left_alone = true;
      if (!follow_parts) break;
    }
    if (!conversion.left_alone) {
      const std::size_t marker = piece.find("*version 7.1");
      if (marker != std::string::npos) {
        piece.replace(marker, 12, "*version 6.1");
        new_version = true;
      }
      if (Contains(piece, "@setup")) copying = false;
      if (Contains(piece, "@index")) copying = true;
    }
    if (const std::optional<std::string> name = LookedUpName(piece))
      conversion.looked_up.push_back(*name);
    if (copying) conversion.output += piece;
  }
  if (!conversion.left_alone && !new_version) {
    conversion.error = "ERROR: Not a version 7.1 schematic!";
  } else if (!conversion.left_alone && !copying) {
    conversion.error = "ERROR: No @index after @setup!";
  }
  if (conversion.left_alone || !conversion.error.empty()) conversion.output = bytes;
  return conversion;
}

void PartTableModel::Read(const std::string& library) {
  for (std::string piece : TextPieces(library)) {
    piece = piece.substr(0, piece.find('\n'));
    const std::size_t name = piece.find("PART=");
    if (name != std::string::npos) TakeName(AsCString(piece.substr(name + 5)));
    const std::size_t value = piece.find("DEFAULT=");
    if (value != std::string::npos) TakeDefault(AsCString(piece.substr(value + 8)));
  }
}

std::optional<std::string> PartTableModel::Find(const std::string& name) const {
  const std::string wanted = UpperAscii(name);
  for (const Row& row : rows_) {
    if (row.name.empty()) return std::nullopt;
    if (UpperAscii(row.name) == wanted) return row.value;
  }
  if (rows_.size() < kPartRows && !waiting_.empty() && UpperAscii(waiting_) == wanted) return "";
  return std::nullopt;
}

void PartTableModel::TakeName(const std::string& name) {
  name_fits_ = name.size() <= kNameChars;
  if (rows_.size() == kPartRows) return;
  waiting_ = name_fits_ ? name : std::string();
}

void PartTableModel::TakeDefault(const std::string& value) {
  const bool fits = name_fits_ && value.size() <= kDefaultChars;
  if (rows_.size() == kPartRows) {
    overflowed_ = overflowed_ || fits;
    name_fits_ = true;
    return;
  }
  if (fits) rows_.push_back({waiting_, value});
  waiting_.clear();
  name_fits_ = true;
}

}  // namespace kestrune::model
