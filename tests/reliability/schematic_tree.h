// Test helper: a nested set of schematics on disk, with the bytes each must hold before and after.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/faulty_platform.h"
#include "tests/support/recording_sink.h"

namespace kestrune::test {

// One schematic of the tree.
struct TreeFile {
  std::string reference;             // the path text the engine is given and lists
  std::filesystem::path file;        // the regular file it names, relative to the root
  std::filesystem::path link;        // a symbolic link to file that reference names; empty if none
  std::vector<std::string> parents;  // references of the files whose parts lead here
  std::string original;
  std::string converted;

  // Where the previous contents are kept: beside the real file, extension P71.
  std::filesystem::path backup() const;
};

// A top schematic whose parts lead, through a library named in an INI file, to the rest.
class SchematicTree {
 public:
  // TOP.SCH, three files one folder down, four files two folders down; among them a dotless
  // file on each of the lower levels, a symbolic link, an absolute reference and a file
  // that two parents lead to.
  static SchematicTree ThreeLevels(const std::filesystem::path& root);
  // TOP.SCH leads to two\MID.SCH, which leads to the dotless two\LEAF.
  static SchematicTree Small(const std::filesystem::path& root);
  // TOP.SCH leads to BIG.SCH of about the given size.
  static SchematicTree Large(const std::filesystem::path& root, std::size_t bytes);

  // Empties the root and writes every schematic, the library and the INI file.
  void Plant() const;

  const std::filesystem::path& root() const { return root_; }
  const std::vector<TreeFile>& files() const { return files_; }
  const char* top() const { return files_.front().reference.c_str(); }
  const char* ini() const { return ".\\MSIM.INI"; }

 private:
  explicit SchematicTree(std::filesystem::path root) : root_(std::move(root)) {}
  // Adds a schematic whose parts lead to the given references, padded to filler_bytes.
  void Add(const std::string& reference, const std::filesystem::path& file,
           const std::vector<std::string>& children, std::size_t filler_bytes = 0,
           const std::filesystem::path& link = {});

  std::filesystem::path root_;
  std::vector<TreeFile> files_;
  std::string library_;
  std::vector<std::string> referenced_;
  std::vector<std::pair<std::string, std::string>> leads_to_;  // (parent, child) references
};

// What a run showed and which failures were injected into it. A run after a stopped one
// (not fresh) may find files converted already, whose parts it then no longer follows.
struct RunReport {
  bool backups;
  std::vector<SinkCall> calls;
  std::vector<InjectedFailure> injected;
  bool fresh = true;
};

// Checks every promise after a run: each schematic whole (old or new) under its own name,
// backups exactly beside converted files and only with backups on, holding the previous
// contents, no file left that does not belong (a temporary file only where its removal was
// made to fail), a closing message listing the visited files and ending "Converted!", or
// "Finished with errors!" when an error was shown, and one error naming each visited file
// that was not converted (or the backup it left, which must then be named), beside the errors
// of the INI file and library. Returns how many were converted.
std::size_t ExpectNothingLost(const SchematicTree& tree, const RunReport& run);

// After a run that was stopped at any point: each name holds complete old or new contents,
// the link is still a link and any backup holds the previous contents.
void ExpectEveryNameWhole(const SchematicTree& tree);

}  // namespace kestrune::test
