// The dialog program's command line: which arguments open the window, with which file, or answer.
#include "app/common/start_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrune::test {
namespace {

using Action = StartOptions::Action;

struct StartCase {
  std::vector<std::string> arguments;
  Action action;
  const char* input_file;  // null: none
};

const StartCase kStartCases[] = {
    {{}, Action::kOpenWindow, nullptr},
    {{"AMP.SCH"}, Action::kOpenWindow, "AMP.SCH"},
    {{"my dir/Amp.sch"}, Action::kOpenWindow, "my dir/Amp.sch"},
    {{"-"}, Action::kOpenWindow, "-"},
    {{"--", "-AMP.SCH"}, Action::kOpenWindow, "-AMP.SCH"},
    {{"--", "--help"}, Action::kOpenWindow, "--help"},
    {{"--help"}, Action::kPrintHelp, nullptr},
    {{"AMP.SCH", "--version"}, Action::kPrintVersion, nullptr},
    {{"--verbose"}, Action::kUsageError, nullptr},
    {{"-h"}, Action::kUsageError, nullptr},
    {{"A.SCH", "B.SCH"}, Action::kUsageError, nullptr},
};

TEST(StartOptions, EachCommandLineAsksForItsAction) {
  for (const StartCase& start : kStartCases) {
    const std::string arguments = testing::PrintToString(start.arguments);
    const StartOptions options = ParseStartOptions(start.arguments);
    EXPECT_EQ(options.action, start.action) << arguments;
    EXPECT_EQ(options.input_file.has_value(), start.input_file != nullptr) << arguments;
    if (start.input_file != nullptr && options.input_file) {
      EXPECT_EQ(*options.input_file, start.input_file) << arguments;
    }
    EXPECT_EQ(options.error.empty(), start.action != Action::kUsageError) << arguments;
  }
}

}  // namespace
}  // namespace kestrune::test
