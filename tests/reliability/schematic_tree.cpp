// Test helper: a nested set of schematics on disk, and the checks that a run lost nothing in it.
#include "tests/reliability/schematic_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "tests/support/scratch_dir.h"
#include "tests/support/text_model.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

const char kBackupLeft[] =
    "ERROR: Unable to replace input file! The backup file could not be removed:";

// Builds a schematic's bytes with CR LF line ends, as the design tools write them.
class SchematicText {
 public:
  void Line(const std::string& text) { bytes += text + "\r\n"; }

  std::string bytes;
};

std::string PartName(const std::string& reference) {
  std::string name = "P";
  for (char c : reference) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  return name.substr(0, 19);
}

// A path as the engine names it: Windows separators read as POSIX ones, relative to the root.
fs::path OnDisk(const fs::path& root, const std::string& text) {
  std::string posix = text;
  std::replace(posix.begin(), posix.end(), '\\', '/');
  const fs::path path(posix);
  return (path.is_absolute() ? path : root / path).lexically_normal();
}

// The whole file in one read; the tests compare files of several megabytes many times.
std::string Contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(fs::file_size(path)), '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot read " + path.string());
  return bytes;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> TextsOf(const RunReport& run, SinkCall::Kind kind) {
  std::vector<std::string> texts;
  for (const SinkCall& call : run.calls) {
    if (call.kind == kind) texts.push_back(call.text);
  }
  return texts;
}

// The closing message: one, ending as the errors shown say, naming each visited file once, the top
// first and every other after a file that leads to it.
std::vector<std::string> ExpectClosingList(const SchematicTree& tree, const RunReport& run) {
  const std::vector<std::string> infos = TextsOf(run, SinkCall::Kind::kInfo);
  if (infos.size() != 1) {
    ADD_FAILURE() << "expected one closing message, saw " << infos.size();
    return {};
  }
  std::vector<std::string> listed = Lines(infos[0]);
  EXPECT_FALSE(listed.empty());
  if (listed.empty()) return {};
  EXPECT_EQ(listed.back(),
            TextsOf(run, SinkCall::Kind::kError).empty() ? "Converted!" : "Finished with errors!");
  listed.pop_back();
  EXPECT_FALSE(listed.empty() || listed.front() != tree.top())
      << "the top file is not listed first";
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const auto file = std::find_if(tree.files().begin(), tree.files().end(),
                                   [&](const TreeFile& f) { return f.reference == listed[i]; });
    if (file == tree.files().end()) {
      ADD_FAILURE() << "listed a file the tree does not have: " << listed[i];
      continue;
    }
    const std::vector<std::string> before(listed.begin(), listed.begin() + static_cast<long>(i));
    EXPECT_FALSE(Contains(before, listed[i])) << listed[i] << " listed twice";
    const bool reached =
        file->parents.empty() ||
        std::any_of(file->parents.begin(), file->parents.end(),
                    [&](const std::string& parent) { return Contains(before, parent); });
    EXPECT_TRUE(reached) << listed[i] << " listed before any file that leads to it";
  }
  return listed;
}

// The files whose removal was made to fail: the only ones that may stay where they should not.
std::set<fs::path> FailedRemovals(const SchematicTree& tree, const RunReport& run) {
  std::set<fs::path> paths;
  for (const InjectedFailure& failure : run.injected) {
    if (failure.call == Call::kRemove) paths.insert(OnDisk(tree.root(), failure.path));
  }
  return paths;
}

// Every name under the root must be a schematic, its link, the library, the INI file, a
// backup (whose presence is checked by itself) or a temporary file whose removal failed.
void ExpectNoStrayFiles(const SchematicTree& tree, const RunReport& run) {
  std::set<fs::path> allowed = {tree.root() / "MSIM.INI", tree.root() / "KEST.slb"};
  for (const TreeFile& file : tree.files()) {
    allowed.insert(tree.root() / file.file);
    allowed.insert(tree.root() / file.backup());
    if (!file.link.empty()) allowed.insert(tree.root() / file.link);
  }
  const std::set<fs::path> stuck = FailedRemovals(tree, run);
  allowed.insert(stuck.begin(), stuck.end());
  for (const auto& entry : fs::recursive_directory_iterator(tree.root())) {
    if (entry.is_directory() && !entry.is_symlink()) continue;
    EXPECT_EQ(allowed.count(entry.path()), 1u) << "left behind: " << entry.path();
  }
}

bool HoldsConverted(const SchematicTree& tree, const TreeFile& file) {
  if (!fs::is_regular_file(tree.root() / file.file)) {
    ADD_FAILURE() << file.reference << " is gone";
    return false;
  }
  const std::string bytes = Contents(tree.root() / file.file);
  if (bytes == file.converted) return true;
  EXPECT_EQ(bytes, file.original) << file.reference
                                  << " holds neither its old nor its new contents";
  return false;
}

void ExpectLinkKept(const SchematicTree& tree, const TreeFile& file) {
  if (file.link.empty()) return;
  std::error_code error;
  EXPECT_EQ(fs::read_symlink(tree.root() / file.link, error), file.file.filename())
      << file.reference << " is no longer a symbolic link";
}

// The file whose backup lies at path; null when none.
const TreeFile* BackedUpAs(const SchematicTree& tree, const fs::path& path) {
  for (const TreeFile& file : tree.files()) {
    if (tree.root() / file.backup() == path) return &file;
  }
  return nullptr;
}

}  // namespace

fs::path TreeFile::backup() const {
  fs::path name = file;
  return name.has_extension() ? name.replace_extension(".P71") : name += ".P71";
}

void SchematicTree::Add(const std::string& reference, const fs::path& file,
                        const std::vector<std::string>& children, std::size_t filler_bytes,
                        const fs::path& link) {
  SchematicText text;
  text.Line("*version 7.1 954663936");
  text.Line("u 42");
  text.Line("@attributes");
  text.Line("a 0 s 0:13 0 0 0 hln 100 PAGETITLE=" + file.filename().string());
  text.Line("@setup");
  text.Line("unconnectedPins 0");
  text.Line("connectViaLabel 0");
  text.Line("@index");
  text.Line("pageloc 1 0 4000");
  text.Line("@parts");
  for (const std::string& child : children) {
    text.Line("part 3 r 220 240 h 13");
    text.Line("a 0 sp 0 0 0 10 hlb 100 PART=" + PartName(child));
    if (!Contains(referenced_, child)) {
      library_ += "*symbol " + PartName(child) + "\r\nPART=" + PartName(child) +
                  "\r\nDEFAULT=" + child + "\r\n";
      referenced_.push_back(child);
    }
    leads_to_.emplace_back(reference, child);
  }
  for (std::size_t n = 0; text.bytes.size() < filler_bytes; ++n) {
    text.Line("w 22 " + std::to_string(n) + " 380 230 390 230 " + std::string(n % 61, 'x'));
  }
  text.Line("@conn");
  TreeFile entry{reference, file, link, {}, text.bytes, model::ConvertSchematic(text.bytes).output};
  for (const auto& [parent, child] : leads_to_) {
    if (child == reference) entry.parents.push_back(parent);
  }
  files_.push_back(entry);
}

SchematicTree SchematicTree::ThreeLevels(const fs::path& root) {
  SchematicTree tree(root);
  const std::string absolute = (root / "two/three/L3C.SCH").string();
  tree.Add("TOP.SCH", "TOP.SCH", {"two\\L2A.SCH", "two\\L2B.SCH", "two\\PLAIN2"});
  tree.Add("two\\L2A.SCH", "two/L2A.SCH", {"two\\three\\L3A.SCH", "two\\three\\LINK3.SCH"});
  tree.Add("two\\three\\L3A.SCH", "two/three/L3A.SCH", {});
  tree.Add("two\\three\\LINK3.SCH", "two/three/L3B.SCH", {}, 0, "two/three/LINK3.SCH");
  tree.Add("two\\L2B.SCH", "two/L2B.SCH", {absolute, "two\\three\\L3A.SCH"});
  tree.Add(absolute, "two/three/L3C.SCH", {});
  tree.Add("two\\PLAIN2", "two/PLAIN2", {"two\\three\\PLAIN3"});
  tree.Add("two\\three\\PLAIN3", "two/three/PLAIN3", {});
  return tree;
}

SchematicTree SchematicTree::Small(const fs::path& root) {
  SchematicTree tree(root);
  tree.Add("TOP.SCH", "TOP.SCH", {"two\\MID.SCH"});
  tree.Add("two\\MID.SCH", "two/MID.SCH", {"two\\LEAF"});
  tree.Add("two\\LEAF", "two/LEAF", {});
  return tree;
}

SchematicTree SchematicTree::Large(const fs::path& root, std::size_t bytes) {
  SchematicTree tree(root);
  tree.Add("TOP.SCH", "TOP.SCH", {"BIG.SCH"});
  tree.Add("BIG.SCH", "BIG.SCH", {}, bytes);
  return tree;
}

void SchematicTree::Plant() const {
  for (const auto& entry : fs::directory_iterator(root_)) fs::remove_all(entry.path());
  for (const TreeFile& file : files_) {
    fs::create_directories((root_ / file.file).parent_path());
    WriteWholeFile(root_ / file.file, file.original);
    if (!file.link.empty()) fs::create_symlink(file.file.filename(), root_ / file.link);
  }
  WriteWholeFile(root_ / "KEST.slb", library_);
  WriteWholeFile(root_ / "MSIM.INI",
                 "[MICROSIM]\r\nLIBPATH=.\r\n[PART LIBS]\r\nLIB1=KEST [.slb]\r\n");
}

std::size_t ExpectNothingLost(const SchematicTree& tree, const RunReport& run) {
  std::vector<std::string> converted;
  for (const TreeFile& file : tree.files()) {
    const bool is_converted = HoldsConverted(tree, file);
    if (is_converted) converted.push_back(file.reference);
    ExpectLinkKept(tree, file);
    const fs::path backup = tree.root() / file.backup();
    const bool has_backup = fs::exists(backup);
    const bool stuck = has_backup && FailedRemovals(tree, run).count(backup) != 0;
    EXPECT_TRUE(has_backup == (run.backups && is_converted) || stuck)
        << file.reference << (has_backup ? " has a backup it must not have" : " has no backup");
    if (has_backup) {
      EXPECT_EQ(Contents(backup), file.original) << "backup of " << file.reference;
    }
  }
  ExpectNoStrayFiles(tree, run);

  const std::vector<std::string> listed = ExpectClosingList(tree, run);
  for (const std::string& reference : converted) {
    EXPECT_TRUE(!run.fresh || Contains(listed, reference))
        << reference << " converted but not listed";
  }
  for (const std::string& status : TextsOf(run, SinkCall::Kind::kStatus)) {
    const std::string prefix = "Status: Converting ";
    if (status.rfind(prefix, 0) != 0) continue;
    EXPECT_TRUE(Contains(listed, status.substr(prefix.size()))) << status << " but not listed";
  }
  const std::vector<std::string> statuses = TextsOf(run, SinkCall::Kind::kStatus);
  EXPECT_TRUE(!statuses.empty() && statuses.back() == "Status: Idle");
  std::vector<std::string> not_converted;
  for (const std::string& reference : listed) {
    if (!Contains(converted, reference)) not_converted.push_back(reference);
  }
  std::vector<std::string> named;  // the files that errors name, the loader's left out
  std::set<fs::path> backups_named;
  for (const std::string& error : TextsOf(run, SinkCall::Kind::kError)) {
    const std::vector<std::string> lines = Lines(error);
    EXPECT_EQ(lines.size(), 2u) << "an error without its path: " << error;
    if (lines.size() < 2 || lines[0] == "ERROR: Unable to read INI file!" ||
        lines[0] == "ERROR: Unable to read part library!") {
      continue;
    }
    if (lines[0] == kBackupLeft) {
      const TreeFile* file = BackedUpAs(tree, OnDisk(tree.root(), lines[1]));
      EXPECT_NE(file, nullptr) << "an error names no backup of the tree: " << error;
      if (file == nullptr) continue;
      backups_named.insert(tree.root() / file->backup());
      named.push_back(file->reference);
    } else {
      named.push_back(lines[1]);
    }
  }
  std::sort(named.begin(), named.end());
  std::sort(not_converted.begin(), not_converted.end());
  EXPECT_EQ(named, not_converted) << "errors shown do not name the visited files left unconverted";
  for (const TreeFile& file : tree.files()) {
    const fs::path backup = tree.root() / file.backup();
    if (Contains(not_converted, file.reference) && fs::exists(backup)) {
      EXPECT_EQ(backups_named.count(backup), 1u)
          << "a backup left beside unconverted " << file.reference << " is named by no error";
    }
  }
  return converted.size();
}

void ExpectEveryNameWhole(const SchematicTree& tree) {
  for (const TreeFile& file : tree.files()) {
    HoldsConverted(tree, file);
    ExpectLinkKept(tree, file);
    const fs::path backup = tree.root() / file.backup();
    if (fs::exists(backup)) {
      EXPECT_EQ(Contents(backup), file.original) << "backup of " << file.reference;
    }
  }
}

}  // namespace kestrune::test
