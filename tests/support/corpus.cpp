// Test helper: the design tools' real files, found through the build's KESTRUNE_CORPUS_DIR.
#include "tests/support/corpus.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

const fs::path& CorpusDir() {
  static const fs::path folder = KESTRUNE_CORPUS_DIR;
  return folder;
}

bool CorpusPresent() {
  std::error_code error;
  return fs::is_directory(CorpusDir(), error);
}

std::string CorpusMissing() {
  return "no corpus at " + CorpusDir().string() +
         "; point the CMake cache variable KESTRUNE_CORPUS_DIR at the real design-tool files";
}

std::vector<fs::path> CorpusFiles(const char* folder, const char* extension) {
  std::vector<fs::path> files;
  std::error_code missing;
  for (const auto& entry : fs::directory_iterator(CorpusDir() / folder, missing)) {
    if (entry.is_regular_file() && Lower(entry.path().extension().string()) == extension) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace kestrune::test
