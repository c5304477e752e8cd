// The engine over real files of the design tools: every schematic, library and INI file of the
// corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"
#include "engine/platform/platform.h"
#include "tests/support/corpus.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/text_model.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const char* needle) {
  return text.find(needle) != std::string::npos;
}

// --- Schematics -------------------------------------------------------------------------

// The file's lines without their line ends (a CR only where it stood before the LF).
std::vector<std::string> LinesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t feed; (feed = bytes.find('\n', start)) != std::string::npos; start = feed + 1) {
    std::string line = bytes.substr(start, feed - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::string VersionOf(const std::string& bytes) {
  const std::size_t marker = bytes.find("*version ");
  return marker == std::string::npos ? "" : bytes.substr(marker + 9, 3);
}

std::string TestName(const testing::TestParamInfo<fs::path>& info) {
  std::string name = std::to_string(info.index) + "_";
  for (const char c : info.param.filename().string()) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name;
}

class CorpusSchematic : public testing::TestWithParam<fs::path> {
 protected:
  // Converts a copy with no libraries and backups off; returns the copy's new contents.
  std::string ConvertCopy() {
    const fs::path copy = scratch_.path() / GetParam().filename();
    path_ = NativePath(copy);
    fs::copy_file(GetParam(), copy);
    engine_->RunConversion(path_.c_str(), scratch_.PathOf("no-such.ini").c_str(), 0, 0);
    EXPECT_EQ(sink_.statuses().back(), "Status: Idle");
    // Neither a temporary file nor a backup stays beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch_.path()), fs::directory_iterator()), 1);
    return ReadWholeFile(copy);
  }

  std::string path_;
  ScratchDir scratch_;
  RecordingSink sink_;
  std::unique_ptr<ConversionEngine> engine_ =
      std::make_unique<ConversionEngine>(SystemPlatform(), sink_);
};

// A 7.1 schematic loses only its setup block and line ends; every other version is refused
// and keeps every byte.
TEST_P(CorpusSchematic, ConvertsAsTheRulesSay) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  const std::string original = ReadWholeFile(GetParam());
  const std::string converted = ConvertCopy();
  EXPECT_EQ(converted, model::ConvertSchematic(original).output);
  if (VersionOf(original) != "7.1") {
    EXPECT_EQ(converted, original);
    EXPECT_EQ(sink_.errors(),
              std::vector<std::string>{"ERROR: Not a version 7.1 schematic!\n" + path_});
    EXPECT_EQ(sink_.infos(), std::vector<std::string>{path_ + "\nFinished with errors!"});
    return;
  }
  EXPECT_EQ(sink_.errors(), std::vector<std::string>{});
  EXPECT_EQ(sink_.infos(), std::vector<std::string>{path_ + "\nConverted!"});

  const std::vector<std::string> before = LinesOf(original);
  const std::vector<std::string> after = LinesOf(converted);
  ASSERT_FALSE(before.empty());
  ASSERT_FALSE(after.empty());
  // CR LF reads as LF; only a CR that another CR stands before survives next to a LF.
  EXPECT_EQ(Contains(converted, "\r\n"), Contains(original, "\r\r\n"));
  const auto setup = std::find(before.begin(), before.end(), "@setup");
  const auto index = std::find(setup, before.end(), "@index");
  std::vector<std::string> kept(before.begin(), setup);
  kept.insert(kept.end(), index, before.end());
  // Only the version line, the setup block and the line ends change.
  ASSERT_EQ(before[0].rfind("*version 7.1", 0), 0u);
  kept[0].replace(0, 12, "*version 6.1");
  EXPECT_EQ(after, kept);
  EXPECT_EQ(std::find(after.begin(), after.end(), "@setup"), after.end());
}

// Without the corpus one placeholder case stands for the schematics and shows as skipped.
std::vector<fs::path> SchematicsOrPlaceholder() {
  return CorpusPresent() ? CorpusFiles("sch", ".sch") : std::vector<fs::path>{"corpus-missing"};
}

INSTANTIATE_TEST_SUITE_P(RealFiles, CorpusSchematic, testing::ValuesIn(SchematicsOrPlaceholder()),
                         TestName);

// The checks above mean something only when the corpus is there with files of both kinds.
TEST(CorpusFolder, HoldsSchematicsOfVersion71AndOfOtherVersions) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  int of_71 = 0;
  int others = 0;
  for (const fs::path& file : CorpusFiles("sch", ".sch")) {
    ++(VersionOf(ReadWholeFile(file)) == "7.1" ? of_71 : others);
  }
  EXPECT_GT(of_71, 0) << "no 7.1 schematic in " << CorpusDir();
  EXPECT_GT(others, 0);
  EXPECT_FALSE(CorpusFiles("slb", ".slb").empty());
  EXPECT_FALSE(CorpusFiles("ini", ".ini").empty());
}

// --- Libraries --------------------------------------------------------------------------

// Every "PART=" value of the texts, as a lookup would be asked for it.
std::vector<std::string> PartNames(const std::vector<std::string>& libraries) {
  std::vector<std::string> names;
  for (const std::string& library : libraries) {
    for (const std::string& piece : model::TextPieces(library)) {
      if (const std::optional<std::string> name = model::PartValue(piece)) names.push_back(*name);
    }
  }
  return names;
}

std::string WindowsForm(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

class CorpusLibraries : public testing::Test {
 protected:
  // Puts each library (or those whose names hold only) into the scratch folder, as given or
  // changed by edit, and writes an INI file that lists them by absolute path (without extension, as
  // the tools list them; the loader adds ".slb" and the file's own case is found on disk).
  template <typename Edit>
  std::string ListAll(Edit edit, const std::string& only = "") {
    fs::create_directory(scratch_.path() / "libs");
    std::string ini = "[MICROSIM]\r\nLIBPATH=\"C:\\nowhere\"\r\n[PART LIBS]\r\n";
    int n = 0;
    for (const fs::path& file : CorpusFiles("slb", ".slb")) {
      if (file.filename().string().find(only) == std::string::npos) continue;
      texts_.push_back(edit(ReadWholeFile(file)));
      WriteWholeFile(scratch_.path() / "libs" / file.filename(), texts_.back());
      const std::string stem = WindowsForm((scratch_.path() / "libs" / file.stem()).string());
      EXPECT_LT(stem.size() + 4, 200u) << "scratch folder too deep for a library name";
      ini += "LIB" + std::to_string(++n) + "=" + stem + " [.slb]\r\n";
      expected_statuses_.push_back("Status: Loading library " + stem);
    }
    const std::string ini_path = scratch_.PathOf("MSIM.INI");
    WriteWholeFile(ini_path, ini);
    return ini_path;
  }

  // Loads the libraries and compares the table with the model's, name by name.
  void LoadAndCompare(const std::string& ini_path) {
    engine_->LoadPartLibraries(ini_path.c_str());
    model::PartTableModel table;
    for (const std::string& text : texts_) table.Read(text);
    const std::vector<std::string> statuses = sink_.statuses();
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(statuses.begin() + 2, statuses.end() - 1),
              expected_statuses_);
    EXPECT_EQ(statuses.back(), "Status: Loaded " + std::to_string(table.rows().size()) + " parts");
    EXPECT_TRUE(sink_.errors().empty());
    for (const std::string& name : PartNames(texts_)) {
      const char* found = engine_->FindPart(name.c_str());
      const std::optional<std::string> wanted = table.Find(name);
      EXPECT_EQ(found != nullptr, wanted.has_value()) << name;
      if (found != nullptr && wanted) {
        EXPECT_EQ(found, *wanted) << name;
      }
    }
  }

  ScratchDir scratch_;
  RecordingSink sink_;
  std::unique_ptr<ConversionEngine> engine_ =
      std::make_unique<ConversionEngine>(SystemPlatform(), sink_);
  std::vector<std::string> texts_;
  std::vector<std::string> expected_statuses_;
};

// The real libraries name their symbols but give none a "DEFAULT=" line, so no row is
// counted; the last name read still sits in the first row, with an empty default.
TEST_F(CorpusLibraries, EveryRealLibraryLoads) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  LoadAndCompare(ListAll([](const std::string& text) { return text; }));
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 0 parts");
  const char* last =
      engine_->FindPart("SECOND_ORDER_FILTER");  // the last symbol of the last library
  ASSERT_NE(last, nullptr);
  EXPECT_STREQ(last, "");
  EXPECT_EQ(engine_->FindPart("T3coupled"), nullptr);  // from EVAL.SLB, overwritten by later names
}

// A hierarchical default after every symbol's name, as the tools write it for a block.
std::string WithDefaults(const std::string& text) {
  std::string edited;
  for (const std::string& line : LinesOf(text)) {
    edited += line + "\r\n";
    const std::size_t name = line.find("PART=");
    if (name != std::string::npos) {
      edited += "a 0 u 13 0 0 0 hln 100 DEFAULT=" + line.substr(name + 5) + ".SCH\r\n";
    }
  }
  return edited;
}

int CountDefaultLines(const std::vector<std::string>& texts) {
  int count = 0;
  for (const std::string& text : texts) {
    for (const std::string& line : LinesOf(text)) count += Contains(line, "DEFAULT=") ? 1 : 0;
  }
  return count;
}

// Every symbol becomes a row, and lookups follow the first-row rules.
TEST_F(CorpusLibraries, RealLibrariesWithDefaultsFillTheTable) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  LoadAndCompare(ListAll(WithDefaults));
  EXPECT_EQ(sink_.statuses().back(),
            "Status: Loaded " + std::to_string(CountDefaultLines(texts_)) + " parts");
  const char* abm = engine_->FindPart("abm1");  // ABM.SLB comes first and names ABM1 early
  ASSERT_NE(abm, nullptr);
  EXPECT_STREQ(abm, "ABM1.SCH");
}

TEST_F(CorpusLibraries, EvalLibraryWithDefaultsGivesItsSymbols) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  LoadAndCompare(ListAll(WithDefaults, "EVAL"));
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 305 parts");
}

// --- INI files --------------------------------------------------------------------------

struct IniExpectation {
  std::map<std::string, std::string> part_libs;  // key -> value; "EMPTY" for a missing key
  std::string lib_path;
};

const std::map<std::string, IniExpectation> kIniFiles = {
    {"LTspiceWorkspace__package.ini", {{{"LIB1", "EMPTY"}}, "Unknown"}},
    {"LTspiceWorkspace__tssim.ini",
     {{{"LIB1", "TS_Analog [.slb]"},
       {"LIB8", "EVAL [.slb ]"},
       {"LIB9", "SPECIAL [.slb]"},
       {"LIB10", "EMPTY"}},
      "C:\\Tietze-Schenk\\BinDL"}},
    // Its LIBPATH stands in [PSPICE]; the file has no [MICROSIM] section.
    {"VE215_FA2019__PSpice.ini",
     {{{"LIB1", "1_shot [.slb , .plb]"},
       {"LIB89", "thyristr [.slb , .plb]"},
       {"LIB92", "zetex [.slb , .plb]"},
       {"LIB93", "EMPTY"}},
      "Unknown"}},
};

TEST(CorpusIniFiles, EachGivesItsLibraryPathAndLibraries) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  const std::vector<fs::path> files = CorpusFiles("ini", ".ini");
  EXPECT_EQ(files.size(), kIniFiles.size());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const auto expected = kIniFiles.find(file.filename().string());
    ASSERT_NE(expected, kIniFiles.end()) << "a corpus INI file without expectations";
    const std::string path = file.string();
    char value[200];
    SystemPlatform().ReadIniString("MICROSIM", "LIBPATH", "Unknown", value, sizeof value,
                                   path.c_str());
    EXPECT_STREQ(value, expected->second.lib_path.c_str());
    for (const auto& [key, wanted] : expected->second.part_libs) {
      SystemPlatform().ReadIniString("PART LIBS", key.c_str(), "EMPTY", value, sizeof value,
                                     path.c_str());
      EXPECT_STREQ(value, wanted.c_str()) << key;
    }
  }
}

}  // namespace
}  // namespace kestrune::test
