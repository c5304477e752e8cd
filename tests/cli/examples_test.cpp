// Converts a copy of the bundled example with the command its README gives, and checks the result.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/text_model.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = KESTRUNE_EXAMPLES_DIR;
const std::vector<std::string> kReadmeCommand = {"--ini", "./MSIM.INI", "--embedded", "AMP.SCH"};

// What a 7.1 file must become, after checking that the example shows the rules at work:
// a 7.1 marker on the first line and a setup block before the index.
std::string Converted(const std::string& original) {
  EXPECT_EQ(original.rfind("*version 7.1", 0), 0u);
  const std::size_t setup = original.find("\n@setup");
  const std::size_t index = original.find("\n@index");
  EXPECT_NE(setup, std::string::npos);
  EXPECT_NE(index, std::string::npos);
  EXPECT_LT(setup, index);
  return model::ConvertSchematic(original).output;
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
  EXPECT_EQ(result.out, "FILTER.SCH: converted\nAMP.SCH: converted\nConverted!\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Copy("AMP.SCH"), Converted(Original("AMP.SCH")));
  EXPECT_EQ(Copy("FILTER.SCH"), Converted(Original("FILTER.SCH")));
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
  EXPECT_EQ(again.out,
            "FILTER.SCH: already at 6.1, left unchanged\nAMP.SCH: already at 6.1, left unchanged\n"
            "Converted!\n");
  EXPECT_EQ(Copy("AMP.SCH"), amp);
  EXPECT_EQ(Copy("FILTER.SCH"), filter);
}

}  // namespace
}  // namespace kestrune::test
