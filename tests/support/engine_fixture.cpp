// Test helper: a scratch folder as the current directory, a fresh run state and a recording sink.
#include "tests/support/engine_fixture.h"

#include <algorithm>

#include "engine/run_state.h"

namespace kestrune::test {

EngineFixture::EngineFixture() : previous_directory_(std::filesystem::current_path()) {
  std::filesystem::current_path(scratch.path());
}

EngineFixture::~EngineFixture() { std::filesystem::current_path(previous_directory_); }

void EngineFixture::StartRun(bool backups, bool embedded,
                             const std::vector<std::pair<std::string, std::string>>& parts) {
  ResetVisited();
  ResetParts();
  CreateBackups = backups ? 1 : 0;
  ConvertEmbedded = embedded ? 1 : 0;
  int row = 0;
  for (const auto& [name, value] : parts) {
    SetPartName(row, name.c_str());
    SetPartDefault(row++, value.c_str());
  }
}

void EngineFixture::Write(const std::string& name, const std::string& bytes) const {
  WriteWholeFile(scratch.path() / name, bytes);
}

std::string EngineFixture::Read(const std::string& name) const {
  return ReadWholeFile(scratch.path() / name);
}

bool EngineFixture::Exists(const std::string& name) const {
  return std::filesystem::exists(std::filesystem::symlink_status(scratch.path() / name));
}

std::vector<std::string> EngineFixture::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kestrune::test
