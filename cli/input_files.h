// The files a command line names: each FILE as given, each FOLDER as the schematics in it.
#pragma once

#include <string>
#include <vector>

namespace kestrune {

struct InputFiles {
  std::vector<std::string> files;     // one Convert command each, in this order
  std::vector<std::string> errors;    // "FOLDER: message: reason" for folders not read
  std::vector<std::string> warnings;  // "FOLDER: warning: ..." for a folder without schematic
  bool folder_named = false;
};

// A folder argument becomes its *.sch files (any letter case) in name order; with recursive,
// its subfolders' too, each where its name falls. Symbolic links to folders are not followed,
// so no folder is listed twice and no loop is entered. Every other argument stays a file. A
// folder argument read whole that gives no file is warned about: empty, without schematic, or
// holding schematics in subfolders only (without recursive, which the warning then names).
InputFiles ExpandInputs(const std::vector<std::string>& arguments, bool recursive);

}  // namespace kestrune
