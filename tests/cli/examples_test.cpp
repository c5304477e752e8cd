// Converts a copy of the bundled example with the command its README gives, and checks the result.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = KESTRUNE_EXAMPLES_DIR;
const std::vector<std::string> kReadmeCommand = {"--ini", "./MSIM.INI", "--embedded", "AMP.SCH"};

// What a 7.1 file must become, worked out line by line: line ends lose their carriage
// return, the first line's marker reads 6.1, and the lines from "@setup" up to the one
// before "@index" are gone.
std::string ConvertedByHand(const std::string& original) {
  std::string text;
  for (std::size_t at = 0; at < original.size(); ++at) {
    if (!(original[at] == '\r' && at + 1 < original.size() && original[at + 1] == '\n')) {
      text += original[at];
    }
  }
  const std::size_t marker = text.find("*version 7.1");
  EXPECT_EQ(marker, 0u);
  text.replace(marker, 12, "*version 6.1");
  const std::size_t setup = text.find("\n@setup\n");
  const std::size_t index = text.find("\n@index\n");
  EXPECT_NE(setup, std::string::npos);
  EXPECT_LT(setup, index);
  text.erase(setup + 1, index - setup);
  return text;
}

class ExampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"AMP.SCH", "FILTER.SCH", "KESTRUNE.SLB", "MSIM.INI"}) {
      fs::copy_file(kExamples / name, sandbox_.work() / name);
    }
  }
  std::string Original(const char* name) const { return ReadWholeFile(kExamples / name); }
  std::string Copy(const char* name) const { return ReadWholeFile(sandbox_.work() / name); }

  CliSandbox sandbox_;
};

TEST_F(ExampleTest, ReadmeCommandConvertsTheTopFileAndTheNestedOne) {
  ASSERT_NE(Original("AMP.SCH").find("\r\n"), std::string::npos) << "the example keeps CRLF";
  const CliResult result = sandbox_.Run(kReadmeCommand);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "AMP.SCH\nFILTER.SCH\nConverted!\n");
  EXPECT_EQ(result.err,
            "Status: Finding LIB Path...\n"
            "Status: Lib Path set to .\n"
            "Status: Loading library KESTRUNE\n"
            "Status: Loaded 1 parts\n"
            "Status: Converting AMP.SCH\n"
            "Status: Converting FILTER.SCH\n"
            "Status: Idle\n");
  EXPECT_EQ(Copy("AMP.SCH"), ConvertedByHand(Original("AMP.SCH")));
  EXPECT_EQ(Copy("FILTER.SCH"), ConvertedByHand(Original("FILTER.SCH")));
  EXPECT_EQ(Copy("KESTRUNE.SLB"), Original("KESTRUNE.SLB"));
  EXPECT_EQ(Copy("MSIM.INI"), Original("MSIM.INI"));
  EXPECT_EQ(FolderListing(sandbox_.work()),
            (std::vector<std::string>{"AMP.SCH", "FILTER.SCH", "KESTRUNE.SLB", "MSIM.INI"}));
}

TEST_F(ExampleTest, SecondRunFindsTheExampleConvertedAndLeavesIt) {
  ASSERT_EQ(sandbox_.Run(kReadmeCommand).exit_status, 0);
  const std::string amp = Copy("AMP.SCH");
  const std::string filter = Copy("FILTER.SCH");
  const CliResult again = sandbox_.Run(kReadmeCommand);
  EXPECT_EQ(again.exit_status, 0);
  EXPECT_EQ(again.out, "AMP.SCH\nConverted!\n");
  EXPECT_EQ(Copy("AMP.SCH"), amp);
  EXPECT_EQ(Copy("FILTER.SCH"), filter);
}

}  // namespace
}  // namespace kestrune::test
