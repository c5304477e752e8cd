// Test helper: a scratch folder as the current directory, an engine of its own and a recording
// sink.
#include "tests/support/engine_fixture.h"

#include <algorithm>

namespace kestrune::test {

void RunConversionOn(Platform& platform, StatusSink& sink, const char* input, const char* ini,
                     bool backups, bool embedded) {
  const auto engine = std::make_unique<ConversionEngine>(platform, sink);
  engine->RunConversion(input, ini, backups ? 1 : 0, embedded ? 1 : 0);
}

EngineFixture::EngineFixture() : previous_directory_(std::filesystem::current_path()) {
  std::filesystem::current_path(scratch.path());
}

EngineFixture::~EngineFixture() { std::filesystem::current_path(previous_directory_); }

void EngineFixture::StartRun(bool backups, bool embedded,
                             const std::vector<std::pair<std::string, std::string>>& parts) {
  engine_->StartRun(backups, embedded);
  PartTable& table = engine_->parts();
  table.ResetParts();
  int row = 0;
  for (const auto& [name, value] : parts) {
    table.SetPartName(row, name.c_str());
    table.SetPartDefault(row++, value.c_str());
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
