// An independent model of how the design tools' text files are read and converted: the oracle
// that tests and fuzzers hold the engine to. It shares no code with the engine.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrune::model {

// The pieces a text reading hands out: every carriage return directly before a line feed
// dropped, then pieces of at most 299 characters, each ending after a line feed or when full.
std::vector<std::string> TextPieces(const std::string& bytes);

// ASCII letters folded to one case, every other byte kept.
std::string UpperAscii(std::string text);
std::string LowerAscii(std::string text);

// The text after a piece's first "PART=", less a last line feed; none without that key.
std::optional<std::string> PartValue(const std::string& piece);

// What converting a schematic must give, piece by piece. The first version marker decides:
// "*version 6.1" (looked for first) leaves the whole file as it was; after "*version 7.1"
// each piece's first "*version 7.1" is rewritten and the pieces from one holding "@setup"
// up to one holding "@index" are dropped. A file without either marker, or one that ends
// inside its setup block, is refused and stays as it was. A file at 6.1 asks for its parts
// to its end when parts are followed, else up to its marker.
struct Conversion {
  bool left_alone = false;             // already at 6.1
  std::string error;                   // why the file was refused; empty when it was not
  std::string output;                  // the new contents, or the old ones when not rewritten
  std::vector<std::string> looked_up;  // the part names the pieces ask the part table for
};
Conversion ConvertSchematic(const std::string& bytes, bool follow_parts = false);

// The part table that libraries read one after another must fill: a row for each default
// after a name that fits 19 characters, when the default fits 199, at most 1000 rows; the
// name read after the last default waits in the row after the last.
class PartTableModel {
 public:
  struct Row {
    std::string name;
    std::string value;
  };

  void Read(const std::string& library);

  const std::vector<Row>& rows() const { return rows_; }
  const std::string& waiting_name() const { return waiting_; }
  // True once a part that fits a row came after every row was filled.
  bool overflowed() const { return overflowed_; }

  // The default of the first row whose name equals name ignoring letter case, looking no
  // further than the first row without a name.
  std::optional<std::string> Find(const std::string& name) const;

 private:
  void TakeName(const std::string& name);
  void TakeDefault(const std::string& value);

  std::vector<Row> rows_;
  std::string waiting_;
  bool name_fits_ = true;
  bool overflowed_ = false;
};

}  // namespace kestrune::model
