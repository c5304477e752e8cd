// The files a command line names.
#include "cli/input_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

bool IsSchematicName(const fs::path& name) {
  std::string extension = name.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return extension == ".sch";
}

// The folder's entries sorted by name; false, with the error, when it cannot be listed.
bool SortedEntries(const fs::path& folder, std::vector<fs::directory_entry>* entries,
                   std::error_code* error) {
  for (fs::directory_iterator it(folder, *error), end; !*error && it != end; it.increment(*error)) {
    entries->push_back(*it);
  }
  std::sort(entries->begin(), entries->end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) {
              return a.path().filename().string() < b.path().filename().string();
            });
  return !*error;
}

// A folder that is no symbolic link, which a listing descends into.
bool IsRealFolder(const fs::directory_entry& entry) {
  std::error_code ignored;
  return entry.is_directory(ignored) && !entry.is_symlink(ignored);
}

// Lists the folder's schematics into inputs, its subfolders' too when recursive.
void AddFolder(const fs::path& folder, bool recursive, InputFiles* inputs) {
  std::vector<fs::directory_entry> entries;
  std::error_code error;
  if (!SortedEntries(folder, &entries, &error)) {
    inputs->errors.push_back(folder.string() + ": cannot list the folder: " + error.message());
    return;
  }
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    if (IsRealFolder(entry)) {
      if (recursive) AddFolder(entry.path(), recursive, inputs);
    } else if (!entry.is_directory(ignored) && IsSchematicName(entry.path().filename())) {
      inputs->files.push_back(entry.path().string());
    }
  }
}

// Why a folder read whole gave no file.
std::string NothingFound(const fs::path& folder, bool recursive) {
  std::error_code error;
  if (fs::is_empty(folder, error)) return "the folder is empty";
  if (recursive) return "no *.sch file in the folder or its subfolders";
  InputFiles below;  // the folder holds none itself
  AddFolder(folder, true, &below);
  if (!below.files.empty()) {
    return "no *.sch file in the folder, only in its subfolders: add -r to convert them";
  }
  return "no *.sch file in the folder";
}

}  // namespace

InputFiles ExpandInputs(const std::vector<std::string>& arguments, bool recursive) {
  InputFiles inputs;
  for (const std::string& argument : arguments) {
    std::error_code ignored;
    if (!argument.empty() && fs::is_directory(argument, ignored)) {
      inputs.folder_named = true;
      const std::size_t files = inputs.files.size();
      const std::size_t errors = inputs.errors.size();
      AddFolder(argument, recursive, &inputs);
      if (inputs.files.size() == files && inputs.errors.size() == errors) {
        inputs.warnings.push_back(argument + ": warning: " + NothingFound(argument, recursive));
      }
    } else {
      inputs.files.push_back(argument);
    }
  }
  return inputs;
}

}  // namespace kestrune
