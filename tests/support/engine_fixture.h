// Test helper: a scratch folder as the current directory, a fresh run state and a recording sink.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {

class EngineFixture : public ::testing::Test {
 protected:
  EngineFixture();
  ~EngineFixture() override;

  // Starts a run as the Convert command does, with the given part rows.
  void StartRun(bool backups, bool embedded,
                const std::vector<std::pair<std::string, std::string>>& parts = {});
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // The names in the scratch folder, sorted.
  std::vector<std::string> Names() const;

  ScratchDir scratch;
  RecordingSink sink;

 private:
  std::filesystem::path previous_directory_;
};

}  // namespace kestrune::test
