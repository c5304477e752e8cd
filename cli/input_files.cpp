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

void AddFolder(const fs::path& folder, bool recursive, InputFiles* inputs) {
  std::vector<fs::directory_entry> entries;
  std::error_code error;
  if (!SortedEntries(folder, &entries, &error)) {
    inputs->errors.push_back(folder.string() + ": cannot list the folder (" + error.message() +
                             ")");
    return;
  }
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    if (entry.is_symlink(ignored) && entry.is_directory(ignored)) continue;
    if (entry.is_directory(ignored)) {
      if (recursive) AddFolder(entry.path(), recursive, inputs);
    } else if (IsSchematicName(entry.path().filename())) {
      inputs->files.push_back(entry.path().string());
    }
  }
}

}  // namespace

InputFiles ExpandInputs(const std::vector<std::string>& arguments, bool recursive) {
  InputFiles inputs;
  for (const std::string& argument : arguments) {
    std::error_code ignored;
    if (!argument.empty() && fs::is_directory(argument, ignored)) {
      inputs.folder_named = true;
      AddFolder(argument, recursive, &inputs);
    } else {
      inputs.files.push_back(argument);
    }
  }
  return inputs;
}

}  // namespace kestrune
