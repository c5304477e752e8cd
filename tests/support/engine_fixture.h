// Test helper: a scratch folder as the current directory, an engine of its own and a recording
// sink.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/conversion_engine.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {

// One Convert command on an engine of its own over platform, reporting to sink.
void RunConversionOn(Platform& platform, StatusSink& sink, const char* input, const char* ini,
                     bool backups, bool embedded);

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

  ConversionEngine& engine() { return *engine_; }

  ScratchDir scratch;
  RecordingSink sink;

 private:
  std::filesystem::path previous_directory_;
  // On the heap: the engine is megabytes, too large for a test's stack.
  std::unique_ptr<ConversionEngine> engine_ =
      std::make_unique<ConversionEngine>(SystemPlatform(), sink);
};

}  // namespace kestrune::test
