// Test helper: the design tools' real files, and skipping the tests that need them when they are
// absent.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kestrune::test {

// The folder the build's KESTRUNE_CORPUS_DIR names; it need not exist.
const std::filesystem::path& CorpusDir();
bool CorpusPresent();
// Why a test that needs the corpus did not run, naming the cache variable that finds it.
std::string CorpusMissing();

// The files of one corpus folder (sch, slb or ini) whose extension is extension in any
// letter case, sorted; none when the folder is absent.
std::vector<std::filesystem::path> CorpusFiles(const char* folder, const char* extension);

}  // namespace kestrune::test

// Skips the calling test, with the reason, when the corpus folder is absent.
#define KESTRUNE_SKIP_WITHOUT_CORPUS() \
  if (!::kestrune::test::CorpusPresent()) GTEST_SKIP() << ::kestrune::test::CorpusMissing()
